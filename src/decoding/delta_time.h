#pragma once

#include <cstdint>

namespace quavert {

class ByteReader;

/// Largest value ReadDeltaTime gives: 127 x 2^21 + 127 x 2^14 + 127 x 2^7 + 255.
inline constexpr std::int32_t kLargestDeltaTime = 268435583;
/// Largest value of a well-formed variable-length quantity (four bytes, the last below 128).
inline constexpr std::int32_t kLargestVariableLength = 0x0FFFFFFF;

/// Reads a delta time (or any other variable-length number of a track: a system-exclusive,
/// sequencer-specific or meta length) of at most four bytes: a fourth byte is taken whole, even
/// with its top bit set, and no fifth is read. ReadPastLimit when the reader's range ends first.
std::int32_t ReadDeltaTime(ByteReader& reader);

}  // namespace quavert
