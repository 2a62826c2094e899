#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// Largest tempo three data bytes can hold, in microseconds per quarter note.
inline constexpr std::int64_t kLargestTempo = 0xFFFFFF;

/// Microseconds per quarter note of `bpm` beats per minute: Int(120 / bpm x 500000). A tempo
/// that three bytes cannot hold (below 4 beats per minute, 0 or negative) is the largest they
/// can, FF FF FF; one that would be 0 is 1, since the decoder refuses a tempo of 0.
std::int64_t TempoMicroseconds(std::int64_t bpm);

/// Appends FF 51 03 and the three tempo bytes for `bpm`, most significant first.
void AppendTempoEvent(std::string& out, std::int64_t bpm);

/// dd of a time signature: how often `denominator` can be halved while it is above 1
/// (8 gives 3, 1 or less gives 0, 6 rounds up to 3).
int DenominatorPower(std::int64_t denominator);

/// Appends FF 58 04, the numerator, dd for `denominator`, then `clocks` and `thirty_seconds`.
/// RunError 6 when the numerator, clocks or 32nds byte is outside 0..255.
void AppendTimeSignatureEvent(std::string& out, std::int64_t numerator, std::int64_t denominator, int clocks,
                              int thirty_seconds);

}  // namespace quavert
