#pragma once

#include <cstdint>

namespace quavert {

class BinaryFile;

/// MIDI files are small; anything beyond this is no file a player should hold in memory.
constexpr std::int64_t kLargestPlayableFile = std::int64_t{64} << 20;

/// The playing length of a Standard MIDI File in ticks: the largest sum of delta times of one
/// track chunk, counted up to its end-of-track event. A damaged track counts up to the last
/// event that can be read whole; a file without a header chunk has length 0. Never throws for
/// what the file holds.
std::int64_t MidiLengthInTicks(BinaryFile& file);

}  // namespace quavert
