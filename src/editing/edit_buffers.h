#pragma once

#include <vector>

#include "decoding/list_rows.h"
#include "decoding/records.h"
#include "decoding/row_origins.h"

namespace quavert {

/// The rows of the current track in memory: the decoder's block of 100, or after a listing the
/// whole track, as edited in the list since.
struct EditBuffers {
  std::vector<EventRecord> EventBuffer;
  ListRows ListBuffer;
  RowOrigins Origins;  ///< inserted and deleted rows not yet saved
};

}  // namespace quavert
