#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "timeline/tempo_map.h"

namespace quavert {

class BinaryFile;

/// The tempo map of a whole Standard MIDI File: its division from the header and the tempo and
/// time-signature events of every track chunk, at the ticks where they stand. A track is read up
/// to its end-of-track event or the first event that cannot be read whole; a file without a
/// header chunk gives the default map. Never throws for what the file holds.
TempoMap ReadTempoMap(BinaryFile& file);

/// Where the rows of a track stand in its bytes' time. Events that get no row (a key signature
/// or a stray byte among the notes, say) still have a delta after them, which the rows' own
/// deltas do not count: Extra[i] holds those ticks between row i - 1 and row i, and Extra[Rows]
/// those after the last row.
struct RowTiming {
  std::int64_t FirstTick = 0;        ///< the tick of the first row's event
  std::vector<std::int64_t> Extra;   ///< Rows + 1 entries
  std::size_t Rows = 0;              ///< rows the track decode gives
};

/// Walks the track chunk whose data runs from `first` through `last` as the track decoder does
/// (the same events, the same rows, stopping where it stops).
RowTiming ReadRowTiming(BinaryFile& file, std::int64_t first, std::int64_t last);

}  // namespace quavert
