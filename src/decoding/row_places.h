#pragma once

#include <cstdint>
#include <vector>

namespace quavert {

class BinaryFile;

/// Where the event of one row of the decoder lies, and when it sounds.
struct RowPlace {
  std::int64_t first = 0;  ///< 1-based position of its first byte (its status, or its first data byte under running status)
  std::int64_t last = 0;   ///< position of its last byte, the delta after it not included
  std::int64_t tick = 0;   ///< absolute time from the start of the track
  bool operator==(const RowPlace&) const = default;
};

/// The places of the rows the decoder makes of the track whose data lies at `data_first` ..
/// `data_last` of `file`: its events walked as the track writer walks them, the timed part
/// beginning at `first_event_pos`, one place per event that gets a row, in order. Every delta
/// counts for the ticks, those of events without a row included. The walk stops at the end of
/// the track, at an event the decoder refuses, and where the data runs out.
std::vector<RowPlace> RowPlaces(BinaryFile& file, std::int64_t data_first, std::int64_t data_last,
                                std::int64_t first_event_pos);

}  // namespace quavert
