#include "fuzz/input_choices.h"

#include <array>

namespace quavert::fuzz {
namespace {

constexpr std::size_t kLongestSlice = 12;
constexpr std::array<const char*, 14> kNoteNames = {"C", "C#", "D", "D#", "E", "F", "F#",
                                                    "G", "G#", "A", "A#", "B", "B#", "Db"};

}  // namespace

std::uint8_t InputChoices::Byte() {
  if (input_.empty()) return 0;
  const std::size_t index = input_.size() - 1 - taken_ % input_.size();
  ++taken_;
  return static_cast<std::uint8_t>(input_[index]);
}

bool InputChoices::Bit() {
  if (bits_left_ == 0) {
    bits_ = Byte();
    bits_left_ = 8;
  }
  const bool bit = (bits_ & 1) != 0;
  bits_ >>= 1;
  --bits_left_;
  return bit;
}

std::int64_t InputChoices::Below(std::int64_t n) {
  if (n <= 1) return 0;
  std::uint64_t value = 0;
  for (std::int64_t range = 1; range < n && range < (std::int64_t{1} << 48); range <<= 8) value = value << 8 | Byte();
  return static_cast<std::int64_t>(value % static_cast<std::uint64_t>(n));
}

std::string InputChoices::Text() {
  switch (Byte() % 4) {
    case 0: {
      const std::size_t length = Byte() % (kLongestSlice + 1);
      if (input_.empty()) return {};
      const std::size_t start = static_cast<std::size_t>(Below(static_cast<std::int64_t>(input_.size())));
      return std::string(input_.substr(start, length));
    }
    case 1: {
      std::uint32_t value = 0;
      for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
      // Mostly small numbers, the ones the cells take, now and then any 32-bit one.
      const std::int64_t number = Bit() ? static_cast<std::int32_t>(value) : static_cast<std::int64_t>(value % 1200) - 100;
      return std::to_string(number);
    }
    case 2: {
      std::string note = kNoteNames[Byte() % kNoteNames.size()];
      if (Bit()) note[0] = static_cast<char>(note[0] | 0x20);  // lower case now and then
      return (Bit() ? " " : "") + note + std::to_string(Byte() % 13);
    }
    default: {
      const int whole = Byte();
      return Bit() ? std::to_string(whole) + ".5" : "1e" + std::to_string(whole % 40);
    }
  }
}

}  // namespace quavert::fuzz
