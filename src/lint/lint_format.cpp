#include "lint/lint_format.h"

#include <cstdio>

namespace quavert {
namespace {

const char* SeverityName(Severity severity) { return severity == Severity::kError ? "error" : "warning"; }

std::string Escaped(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\u%04X", byte);
  return text;
}

// How many bytes the UTF-8 sequence at `at` takes; 0 when it is not one.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (byte >= 0xC2 && byte <= 0xDF) {
    length = 2;
    code = byte & 0x1F;
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    length = 3;
    code = byte & 0x0F;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    length = 4;
    code = byte & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = code << 6 | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are no UTF-8.
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string ProblemText(const std::string& file, const Problem& problem) {
  return file + ":" + std::to_string(problem.offset) + ": " + SeverityName(problem.severity) + ": " + problem.message +
         " [" + problem.code + "]";
}

std::string SummaryText(const std::string& file, int errors, int warnings) {
  return file + ": " + std::to_string(errors) + " errors, " + std::to_string(warnings) + " warnings";
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte < 0x20 || byte == 0x7F) {
      out += Escaped(byte);
    } else if (byte >= 0x80) {
      const std::size_t length = Utf8Length(text, i);
      if (length == 0) {
        out += Escaped(byte);
      } else {
        out.append(text, i, length);
        i += length;
        continue;
      }
    } else {
      out += static_cast<char>(byte);
    }
    ++i;
  }
  return out + "\"";
}

std::string ProblemJson(const std::string& file, const Problem& problem) {
  return "{\"file\": " + JsonString(file) + ", \"offset\": " + std::to_string(problem.offset) +
         ", \"track\": " + (problem.track ? std::to_string(*problem.track) : "null") + ", \"severity\": \"" +
         SeverityName(problem.severity) + "\", \"code\": " + JsonString(problem.code) +
         ", \"message\": " + JsonString(problem.message) + "}";
}

std::string SummaryJson(const std::string& file, int errors, int warnings) {
  return "{\"file\": " + JsonString(file) + ", \"errors\": " + std::to_string(errors) +
         ", \"warnings\": " + std::to_string(warnings) + "}";
}

}  // namespace quavert
