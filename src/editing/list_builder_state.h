#pragma once

#include <cstdint>
#include <string>

#include "editing/genmidi.h"

namespace quavert {

/// The last drum key looked up in genmidi.ini, by which row, and the name found.
struct DrumNameCache {
  int Key = -1;
  std::int64_t Index = -1;
  std::string Name;
};

/// What the event list builder keeps between listings.
struct ListBuilderState {
  std::int64_t TotalTicks = 0;  ///< sum of the Length values of the listed track
  std::string TotalTimeText;    ///< the total-time line of the last listing
  DrumNameCache DrumCache;
  GenmidiCache Genmidi;         ///< genmidi.ini as last read
};

}  // namespace quavert
