#pragma once

#include <cstdint>

namespace quavert {

class ByteReader;

/// Largest value ReadDeltaTime gives: 127 x 16384 + 127 x 128 + 255.
inline constexpr std::int32_t kLargestDeltaTime = 2097279;

/// Reads a delta time (or a system-exclusive or sequencer-specific length) of at most three
/// bytes: a third byte is taken whole, even with its top bit set, and no fourth is read.
/// ReadPastLimit when the reader's range ends first.
std::int32_t ReadDeltaTime(ByteReader& reader);

}  // namespace quavert
