#pragma once

#include <cstdint>
#include <string>

namespace quavert {

/// The total playing time of a listed track, as Text2 and the report show it.
struct TotalTimeLines {
  std::string Text2;   ///< "       Total Time        : MM.SS" (no line end)
  std::string Report;  ///< "        Total Time: MM.SS"
  bool operator==(const TotalTimeLines&) const = default;
};

/// The total-time lines for `total_ticks` ticks at `tick_minutes` sixtieths of a second per tick.
/// The seconds are rounded up to the next whole one (03:30.4 shows "03.31", nothing shows
/// "00.01"); the minutes take as many digits as they need, at least two. A timing of -1 (the
/// track changes tempo) gives "?", with "time" in lower case in Text2.
TotalTimeLines TotalTime(std::int64_t total_ticks, double tick_minutes);

}  // namespace quavert
