#include <gtest/gtest.h>

#include <string>

#include "common/text_encoding.h"

namespace quavert {
namespace {

constexpr const char* kBad = "\xEF\xBF\xBD";  // U+FFFD

TEST(TextEncodingTest, BytesReadInEachEncoding) {
  using E = TextEncoding;
  const struct {
    std::string bytes;
    E encoding;
    std::string text;
  } cases[] = {
      {"", E::kShiftJis, ""},
      {"Track 1 \\~", E::kShiftJis, "Track 1 \\~"},  // a backslash stays one, as Windows reads it
      {"\xC3\xA9t\xC3\xA9", E::kAutomatic, "\xC3\xA9t\xC3\xA9"},
      {"\xE9t\xE9", E::kAutomatic, "\xC3\xA9t\xC3\xA9"},          // not UTF-8: Latin-1
      {"\xED\xA0\x80", E::kAutomatic, "\xC3\xAD\xC2\xA0\xC2\x80"},  // a surrogate is no UTF-8
      {"\xC0\xAF", E::kAutomatic, "\xC3\x80\xC2\xAF"},              // nor an overlong form
      {"\xE9t\xE9", E::kUtf8, std::string(kBad) + "t" + kBad},
      {"\xC3\xA9", E::kLatin1, "\xC3\x83\xC2\xA9"},
      {"\x80\x9F", E::kLatin1, "\xC2\x80\xC2\x9F"},
      {"\x80\x96", E::kWindows1252, "\xE2\x82\xAC\xE2\x80\x93"},  // euro sign, en dash
      {"\x81x", E::kWindows1252, std::string(kBad) + "x"},          // a byte the code page leaves out
      {"\x82\xA0\x82\xA2", E::kShiftJis, "\xE3\x81\x82\xE3\x81\x84"},
      {"\xB1", E::kShiftJis, "\xEF\xBD\xB1"},                     // a half-width katakana
      {"\x82 \x82", E::kShiftJis, std::string(kBad) + " " + kBad},  // a lead byte without its trail
      {"\xC4\xE3\xBA\xC3", E::kGb18030, "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"\xC7\xD1\xB1\xDB", E::kEucKr, "\xED\x95\x9C\xEA\xB8\x80"},
      {"\xC7", E::kEucKr, kBad},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(c.bytes, c.encoding), c.text) << EncodingName(c.encoding) << " " << c.bytes;
}

TEST(TextEncodingTest, AnyBytesGiveValidText) {
  std::string every;
  for (int lead = 0; lead < 256; ++lead)
    for (int trail = 0; trail < 256; trail += 7) every += {static_cast<char>(lead), static_cast<char>(trail)};
  for (const TextEncoding encoding : kTextEncodings) {
    for (const std::string& bytes : {every, every.substr(1), std::string("\xFF"), std::string("\x81\x30\x81")}) {
      const std::string text = ToUtf8(bytes, encoding);
      EXPECT_TRUE(IsValidUtf8(text)) << EncodingName(encoding);
      EXPECT_FALSE(text.empty()) << EncodingName(encoding);
    }
  }
}

TEST(TextEncodingTest, NamesAnyCaseAndNoOthers) {
  for (const TextEncoding encoding : kTextEncodings) EXPECT_EQ(EncodingNamed(EncodingName(encoding)), encoding);
  EXPECT_EQ(EncodingNamed("shift-jis"), TextEncoding::kShiftJis);
  EXPECT_EQ(EncodingNamed("WINDOWS-1252"), TextEncoding::kWindows1252);
  for (const char* other : {"", "sjis", "UTF8", "latin1", "Shift-JIS "}) EXPECT_EQ(EncodingNamed(other), std::nullopt) << other;
}

}  // namespace
}  // namespace quavert
