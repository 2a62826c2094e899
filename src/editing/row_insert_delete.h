#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editing/edit_buffers.h"
#include "editing/event_input.h"
#include "editing/row_change.h"
#include "editing/row_rules.h"

namespace quavert {

/// The message of a delete that would leave a delta time longer than a variable-length number holds.
inline constexpr const char* kDeleteTooLong = "Delta must be between 0 and 268435455";

/// A planned change of the list's rows, or why there is none.
struct RowEdit {
  std::optional<RowChange> Change;
  std::string Message;  ///< why nothing changes; empty when Change is set or nothing was asked
};

/// The rows a delete of `chosen` (0-based, any order, repeats allowed) takes: those rows and the
/// Note Off that ends each Note On among them, in order, each once. Rows past the end are dropped.
std::vector<std::size_t> RowsToDelete(const TrackRows& rows, const std::vector<std::size_t>& chosen);

/// Deleting the RowsToDelete of `chosen`: each deleted row's delta time goes onto the row kept
/// before it (before the first row: onto the time in front of the track's timed part), so no
/// other row moves in time; a controller, pressure or pitch-bend row written under running status
/// right after a deleted row gets its status byte back. Refused when a delta would pass 268435455,
/// the longest a variable-length number holds.
RowEdit PlanDelete(const EditBuffers& buffers, const std::vector<std::size_t>& chosen);

/// Inserting `input` after row `after`, `ticks` after that row's time: the row before keeps
/// `ticks` as its delta and the new row the rest, so no other row moves; a running-status row
/// right after it gets its status byte back. `ticks` goes from 0 to the row's delta (the next
/// event's time); a message names that range otherwise. `naming` gives the new row its texts.
RowEdit PlanInsert(const EditBuffers& buffers, std::size_t after, std::int64_t ticks, const EventInput& input,
                   RowNaming& naming);

/// The message of a time offset outside 0 .. `most`.
std::string TicksRangeMessage(std::int64_t most);

}  // namespace quavert
