#pragma once

#include <cstdint>

#include "timeline/tempo_map.h"

namespace quavert {

class BinaryFile;

/// The tempo map of a whole Standard MIDI File: its division from the header and the tempo and
/// time-signature events of every track chunk, at the ticks where they stand. A track is read up
/// to its end-of-track event or the first event that cannot be read whole; a file without a
/// header chunk gives the default map. Never throws for what the file holds.
TempoMap ReadTempoMap(BinaryFile& file);

/// The sum of the delta times in front of the event that begins at file position `event` in
/// the track chunk whose data runs from `first` through `last`: the tick at which it happens.
/// 0 when no event begins there.
std::int64_t TickOfEventAt(BinaryFile& file, std::int64_t first, std::int64_t last, std::int64_t event);

}  // namespace quavert
