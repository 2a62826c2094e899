#pragma once

#include <cstdint>
#include <string_view>

namespace quavert {

/// Microseconds per quarter note held in the first three bytes of `data` (a tempo event's data,
/// most significant first). `data` holds at least three bytes.
std::int64_t TempoOfBytes(std::string_view data);

/// Beats per minute as the decoder shows a tempo: the integer part of 500000 / `microseconds` x
/// 120. `microseconds` is 1 or more (the decoder refuses a tempo of 0).
std::int64_t BpmOfTempo(std::int64_t microseconds);

/// Microseconds per quarter note for `bpm` beats per minute, before any range check: the integer
/// part of 120 / `bpm` x 500000. `bpm` is 1 or more.
double TempoOfBpm(std::int64_t bpm);

}  // namespace quavert
