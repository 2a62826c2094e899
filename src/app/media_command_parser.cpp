#include "app/media_command_parser.h"

#include <charconv>

#include "common/number_text.h"

namespace quavert {
namespace {

constexpr char kBlank = ' ';
constexpr char kQuote = '"';

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && text[at] == kBlank) ++at;
  return at;
}

// The word that starts at `at`, up to the next blank; `at` moves past it.
std::string_view NextWord(std::string_view text, std::size_t& at) {
  at = SkipBlanks(text, at);
  const std::size_t end = std::min(text.find(kBlank, at), text.size());
  const std::string_view word = text.substr(at, end - at);
  at = end;
  return word;
}

// The device word at `at`: quoted when the command quoted a path with blanks.
std::string NextDevice(std::string_view text, std::size_t& at) {
  at = SkipBlanks(text, at);
  if (at < text.size() && text[at] == kQuote) {
    // The last quote that ends a word closes the path: no word after the path has quotes.
    for (std::size_t close = text.size(); close-- > at + 1;) {
      if (text[close] != kQuote) continue;
      if (close + 1 < text.size() && text[close + 1] != kBlank) continue;
      const std::string_view inside = text.substr(at + 1, close - at - 1);
      if (inside.find(kBlank) == std::string_view::npos) break;
      at = close + 1;
      return std::string(inside);
    }
  }
  return std::string(NextWord(text, at));
}

}  // namespace

bool SameWord(std::string_view a, std::string_view b) { return LowerCase(a) == LowerCase(b); }

std::optional<std::int64_t> WholeNumber(std::string_view word) {
  std::int64_t value = 0;
  const char* first = word.data();
  const char* last = word.data() + word.size();
  // from_chars takes a leading minus but no plus, exactly the numbers the commands carry.
  const auto [end, error] = std::from_chars(first, last, value);
  if (word.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

MediaCommand ParseMediaCommand(std::string_view command) {
  MediaCommand parsed;
  std::size_t at = 0;
  parsed.Verb = LowerCase(NextWord(command, at));
  parsed.Device = NextDevice(command, at);
  for (std::string_view word = NextWord(command, at); !word.empty(); word = NextWord(command, at)) {
    if (SameWord(word, "notify")) {
      parsed.Notify = true;
    } else {
      parsed.Words.emplace_back(word);
    }
  }
  return parsed;
}

}  // namespace quavert
