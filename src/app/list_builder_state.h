#pragma once

#include <cstdint>
#include <string>

#include "editing/drum_name_cache.h"
#include "editing/genmidi.h"

namespace quavert {

/// What the event list builder keeps between listings.
struct ListBuilderState {
  std::int64_t TotalTicks = 0;  ///< sum of the Length values of the listed track
  std::string TotalTimeText;    ///< the total-time line of the last listing
  DrumNameCache DrumCache;
  GenmidiCache Genmidi;         ///< genmidi.ini as last read
};

}  // namespace quavert
