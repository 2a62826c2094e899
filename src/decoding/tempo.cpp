#include "decoding/tempo.h"

#include <cmath>

namespace quavert {

std::int64_t TempoOfBytes(std::string_view data) {
  const auto byte = [&](std::size_t index) { return std::int64_t{static_cast<std::uint8_t>(data[index])}; };
  return byte(0) * 65536 + byte(1) * 256 + byte(2);
}

std::int64_t BpmOfTempo(std::int64_t microseconds) {
  return static_cast<std::int64_t>(std::floor(500000 / static_cast<double>(microseconds) * 120));
}

double TempoOfBpm(std::int64_t bpm) { return std::floor(120.0 / static_cast<double>(bpm) * 500000); }

}  // namespace quavert
