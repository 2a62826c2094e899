#include "common/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace quavert {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

struct EncodingInfo {
  TextEncoding encoding;
  std::string_view name;
  const char* iconv_name;  // what iconv calls it
};

constexpr EncodingInfo kInfo[] = {
    {TextEncoding::kAutomatic, "Automatic", nullptr},
    {TextEncoding::kUtf8, "UTF-8", "UTF-8"},
    {TextEncoding::kLatin1, "Latin-1", "ISO-8859-1"},
    {TextEncoding::kWindows1252, "Windows-1252", "CP1252"},
    {TextEncoding::kShiftJis, "Shift-JIS", "CP932"},
    {TextEncoding::kGb18030, "GB18030", "GB18030"},
    {TextEncoding::kEucKr, "EUC-KR", "CP949"},
};

const EncodingInfo& InfoOf(TextEncoding encoding) {
  for (const EncodingInfo& info : kInfo)
    if (info.encoding == encoding) return info;
  return kInfo[0];
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The length of the valid UTF-8 sequence at the start of `bytes`, 0 when none begins there.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  if (at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  return length;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | byte >> 6);
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

std::string RepairedUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      text += kReplacement;
      bytes.remove_prefix(1);
    } else {
      text += bytes.substr(0, length);
      bytes.remove_prefix(length);
    }
  }
  return text;
}

// Owns one conversion descriptor.
class Converter {
 public:
  explicit Converter(const char* from) : cd_(iconv_open("UTF-8", from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  std::string Convert(std::string_view bytes) {
    std::string text;
    char out_buffer[256];
    // iconv does not write through its input pointer; it only takes a non-const one.
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    while (true) {
      char* out = out_buffer;
      std::size_t out_left = sizeof out_buffer;
      const std::size_t result = in_left > 0 ? iconv(cd_, &in, &in_left, &out, &out_left)
                                             : iconv(cd_, nullptr, nullptr, &out, &out_left);
      const int error = errno;
      text.append(out_buffer, static_cast<std::size_t>(out - out_buffer));
      if (result != static_cast<std::size_t>(-1)) {
        // Once the input is used up, the last call flushes the state; it is done when it writes nothing.
        if (in_left == 0 && out == out_buffer) break;
        continue;
      }
      if (error == E2BIG) continue;
      if (in_left == 0) break;
      // A byte the encoding does not define, or a sequence cut short by the end: one byte is
      // passed over and marked, and the state starts afresh.
      text += kReplacement;
      ++in;
      --in_left;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return text;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string_view EncodingName(TextEncoding encoding) { return InfoOf(encoding).name; }

std::optional<TextEncoding> EncodingNamed(std::string_view name) {
  for (const EncodingInfo& info : kInfo) {
    if (info.name.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) same = Lower(info.name[i]) == Lower(name[i]);
    if (same) return info.encoding;
  }
  return std::nullopt;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

std::string ToUtf8(std::string_view bytes, TextEncoding encoding) {
  // Plain ASCII reads the same in every encoding here.
  bool ascii = true;
  for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(bytes);
  switch (encoding) {
    case TextEncoding::kAutomatic: return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
    case TextEncoding::kUtf8: return RepairedUtf8(bytes);
    case TextEncoding::kLatin1: return Latin1ToUtf8(bytes);
    default: break;
  }
  Converter converter(InfoOf(encoding).iconv_name);
  // Without the conversion on this system the bytes are still shown, as Latin-1.
  if (!converter.ok()) return Latin1ToUtf8(bytes);
  return converter.Convert(bytes);
}

}  // namespace quavert
