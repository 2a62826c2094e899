#include "editing/row_change.h"

#include <algorithm>
#include <numeric>

#include "common/run_error.h"

namespace quavert {
namespace {

template <typename T>
void Splice(std::vector<T>& items, std::size_t at, std::size_t count, const std::vector<T>& with) {
  const auto first = items.begin() + static_cast<std::ptrdiff_t>(at);
  items.erase(first, first + static_cast<std::ptrdiff_t>(count));
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), with.begin(), with.end());
}

// Gives every row its origin explicitly: row i stands for event i.
void MakePending(RowOrigins& origins, std::size_t rows) {
  if (origins.Pending) return;
  origins.Event.resize(rows);
  std::iota(origins.Event.begin(), origins.Event.end(), std::int64_t{0});
  origins.Pending = true;
}

}  // namespace

RowChange BeginRowChange(const EditBuffers& buffers, std::size_t at, std::size_t count, bool touch_origins) {
  RowChange change;
  change.At = static_cast<std::int64_t>(at);
  change.OldRecords = buffers.Rows.Records(change.At, static_cast<std::int64_t>(count));
  for (std::size_t row = at; row < at + count; ++row) change.OldTexts.push_back(buffers.Rows.Texts(static_cast<std::int64_t>(row)));
  const RowOrigins& origins = buffers.Origins;
  change.PendingBefore = change.PendingAfter = origins.Pending;
  change.LeadBefore = change.LeadAfter = origins.LeadTicks;
  if (touch_origins) {
    for (std::size_t row = at; row < at + count; ++row)
      change.OldOrigins.push_back(origins.Pending ? origins.Event[row] : static_cast<std::int64_t>(row));
    change.PendingAfter = true;
  }
  return change;
}

void ApplyRowChange(EditBuffers& buffers, const RowChange& change, bool undo) {
  const auto& from_records = undo ? change.NewRecords : change.OldRecords;
  const auto& to_records = undo ? change.OldRecords : change.NewRecords;
  const auto& to_texts = undo ? change.OldTexts : change.NewTexts;
  const auto& from_origins = undo ? change.NewOrigins : change.OldOrigins;
  const auto& to_origins = undo ? change.OldOrigins : change.NewOrigins;
  const bool pending = undo ? change.PendingBefore : change.PendingAfter;
  const auto at = static_cast<std::size_t>(change.At);
  const std::size_t count = from_records.size();
  // Rows that are not those the change found are left alone.
  const TrackRows& rows = buffers.Rows;
  if (change.At < 0 || change.At + static_cast<std::int64_t>(count) > rows.size() ||
      rows.Records(change.At, static_cast<std::int64_t>(count)) != from_records)
    throw RunError(kIndexOutOfRange);

  RowOrigins& origins = buffers.Origins;
  for (const auto& [index, bytes] : change.Inserted) {
    const auto slot = static_cast<std::size_t>(index);
    if (origins.Inserted.size() <= slot) origins.Inserted.resize(slot + 1);
    origins.Inserted[slot] = bytes;
  }
  if (!from_origins.empty() || !to_origins.empty()) {
    MakePending(origins, static_cast<std::size_t>(rows.size()));
    Splice(origins.Event, at, from_origins.size(), to_origins);
  }
  buffers.Rows.Splice(change.At, static_cast<std::int64_t>(count), to_records, to_texts);
  origins.LeadTicks = undo ? change.LeadBefore : change.LeadAfter;
  if (!pending) {
    // Back to every row standing for its own event; the inserted bytes stay for a redo.
    origins.Pending = false;
    origins.Event.clear();
  }
}

}  // namespace quavert
