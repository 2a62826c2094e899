#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quavert {

/// Where the rows of the list come from once events were inserted or deleted in it and not yet
/// written with "Save Track". Until then row i stands for the i-th event of the track that has a
/// row, as the decoder (or the last save) left them.
struct RowOrigins {
  bool Pending = false;  ///< false: every row stands for its own event in order; nothing below is used
  /// One per row while Pending: the index of the event among the track's rows as last decoded or
  /// saved, or -1 - k for an inserted row whose bytes are Inserted[k].
  std::vector<std::int64_t> Event;
  /// The bytes of inserted events, only ever appended to while Pending (undo keeps them).
  std::vector<std::string> Inserted;
  /// Ticks of deleted rows that lay before the first row kept: they go onto the delta time in
  /// front of the track's timed part, so that nothing after it moves.
  std::int64_t LeadTicks = 0;
  bool operator==(const RowOrigins&) const = default;
};

/// The index in Inserted of an inserted row's origin, -1 for a row that stands for its own event.
inline std::int64_t InsertedIndex(std::int64_t origin) { return origin < 0 ? -1 - origin : -1; }

}  // namespace quavert
