#pragma once

#include <cstdint>

namespace quavert::generate {

/// A small fixed-seed generator (xorshift64*): the same seed gives the same numbers on every
/// machine and with every standard library, which std::rand and the std distributions do not.
class XorShift {
 public:
  explicit XorShift(std::uint64_t seed) : state_(seed == 0 ? kNonZero : seed) {}

  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1DULL;
  }
  /// A number in 0 .. bound - 1; 0 when bound is 0. The slight bias of the modulo does not matter
  /// for test data.
  std::uint32_t Below(std::uint32_t bound) {
    return bound == 0 ? 0 : static_cast<std::uint32_t>((Next() >> 32) % bound);
  }
  /// A number in low .. high, both included.
  int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<std::uint32_t>(high - low + 1))); }
  /// True `percent` times in a hundred.
  bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

 private:
  static constexpr std::uint64_t kNonZero = 0x9E3779B97F4A7C15ULL;  // xorshift stays at 0 forever
  std::uint64_t state_;
};

/// A seed of its own for each part of a file, so that adding a track does not change the others.
inline std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t part) {
  std::uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (part + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace quavert::generate
