#include "decoding/meta_format.h"

#include <array>

#include "common/number_text.h"

namespace quavert {
namespace {

// One key signature: the keys that share it, minor and major.
struct KeyEntry {
  std::string_view signature;
  std::string_view minor;
  std::string_view major;
};

// From seven flats to seven sharps.
constexpr std::array<KeyEntry, 15> kKeys = {{
    {"-7", "Ab", "Cb"}, {"-6", "Eb", "Gb"}, {"-5", "Bb", "Db"}, {"-4", "F", "Ab"}, {"-3", "C", "Eb"},
    {"-2", "G", "Bb"},  {"-1", "D", "F"},   {"0", "A", "C"},    {"+1", "E", "G"},  {"+2", "B", "D"},
    {"+3", "F#", "A"},  {"+4", "C#", "E"},  {"+5", "G#", "B"},  {"+6", "D#", "F#"}, {"+7", "A#", "C#"},
}};

}  // namespace

std::string Format6(std::int64_t n) { return PadLeft(PlainNumber(n), 6); }

std::int64_t PadWidth(std::int64_t n) { return 7 - static_cast<std::int64_t>(SignedNumber(n).size()); }

std::string TrimNumber(std::int64_t n) { return std::string(Trim(SignedNumber(n))); }

std::int64_t HighByte(std::int64_t n) { return n >= 0 ? n / 256 : -((-n + 255) / 256); }

std::int64_t LowByte(std::int64_t n) { return n - HighByte(n) * 256; }

std::string SignatureText(int sf) {
  if (sf > 0) return "+" + PlainNumber(sf);
  return PlainNumber(sf);
}

std::string KeyName(std::string_view signature, int mode) {
  for (const KeyEntry& key : kKeys) {
    if (key.signature != signature) continue;
    return std::string(mode == 0 ? key.major : key.minor) + (mode == 0 ? " Major" : " Minor");
  }
  return "Unknown Key";
}

}  // namespace quavert
