#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quavert::fuzz {

/// The decisions of one road, taken from the bytes of its input: read from the last byte
/// backwards and round again when they run out, so that a change near the end of a file changes
/// what the road does with it while the file itself stays loadable. An empty input decides 0.
class InputChoices {
 public:
  explicit InputChoices(std::string_view input) : input_(input) {}

  std::uint8_t Byte();
  bool Bit();
  /// A number 0..n-1; 0 when n is 1 or less.
  std::int64_t Below(std::int64_t n);
  /// A text to type, made of the input's bytes: a slice of the input as it stands, a signed
  /// number, a note name, or a number with a fraction or an exponent.
  std::string Text();

 private:
  std::string_view input_;
  std::size_t taken_ = 0;
  std::uint8_t bits_ = 0;
  int bits_left_ = 0;
};

}  // namespace quavert::fuzz
