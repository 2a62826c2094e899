#pragma once

#include <vector>

#include "decoding/records.h"
#include "decoding/row_origins.h"
#include "editing/track_rows.h"

namespace quavert {

/// The rows of the current track: the decoder's block of 100 while it decodes, and after a
/// listing the whole track, as edited in the list since.
struct EditBuffers {
  std::vector<EventRecord> EventBuffer;  ///< the decoder's block
  TrackRows Rows;                        ///< the listed rows

  RowOrigins Origins;  ///< inserted and deleted rows not yet saved
};

}  // namespace quavert
