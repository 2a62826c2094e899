#pragma once

#include <cstdint>

#include "decoding/track_decode.h"

namespace quavert {

/// What a track decode leaves behind for the list, the Edit frame and the track writer: the
/// decode's facts and where its rows stand in notes.dat.
struct DecoderState : TrackDecodeFacts {
  std::int64_t LastEventIndex = -1;  ///< 0-based index of the last event row; -1 when none
  int BlockRow = -1;                 ///< row of the current event in the 100-row block
  std::int64_t RowTicks = 0;         ///< the deltas of the rows written to notes.dat, added up (a negative one counts 0)
};

}  // namespace quavert
