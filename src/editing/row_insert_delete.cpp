#include "editing/row_insert_delete.h"

#include <algorithm>

#include "common/number_text.h"
#include "decoding/delta_time.h"
#include "timeline/note_spans.h"

namespace quavert {
namespace {

std::int64_t TicksOf(const EventRecord& row) { return std::max<std::int32_t>(row.Delta, 0); }

// The row gives the time after it as its Length.
void SetDelta(EventRecord& record, ListRow& texts, std::int64_t delta) {
  record.Delta = static_cast<std::int32_t>(delta);
  texts.Length = PlainNumber(delta);
}

// A controller, pressure or pitch-bend row written without its status byte follows the event
// before it; once that event is another, it must carry its status again.
void GiveStatusBack(EventRecord& record) {
  // (Other rows keep -1 where they have no status: texts, placeholders.)
  if (record.Status <= -0x80) record.Status = -record.Status;
}

}  // namespace

std::string TicksRangeMessage(std::int64_t most) { return "Ticks must be between 0 and " + PlainNumber(most); }

std::vector<std::size_t> RowsToDelete(const TrackRows& rows, const std::vector<std::size_t>& chosen) {
  std::vector<std::size_t> taken;
  for (const std::size_t row : chosen) {
    if (static_cast<std::int64_t>(row) >= rows.size()) continue;
    taken.push_back(row);
    const std::int64_t off = NoteOffRow(rows, static_cast<std::int64_t>(row));
    if (off >= 0) taken.push_back(static_cast<std::size_t>(off));
  }
  std::sort(taken.begin(), taken.end());
  taken.erase(std::unique(taken.begin(), taken.end()), taken.end());
  return taken;
}

RowEdit PlanDelete(const EditBuffers& buffers, const std::vector<std::size_t>& chosen) {
  const std::vector<std::size_t> deleted = RowsToDelete(buffers.Rows, chosen);
  RowEdit edit;
  if (deleted.empty()) return edit;
  // The change spans the deleted rows and the kept row on each side, whose delta or status changes.
  const std::size_t first = deleted.front() > 0 ? deleted.front() - 1 : 0;
  const std::size_t last = std::min(deleted.back() + 1, static_cast<std::size_t>(buffers.Rows.size()) - 1);
  RowChange change = BeginRowChange(buffers, first, last - first + 1, /*touch_origins=*/true);

  std::size_t next_deleted = 0;
  bool after_deleted = false;
  for (std::size_t row = first; row <= last; ++row) {
    const std::size_t i = row - first;
    if (next_deleted < deleted.size() && deleted[next_deleted] == row) {
      ++next_deleted;
      after_deleted = true;
      const std::int64_t ticks = TicksOf(change.OldRecords[i]);
      if (change.NewRecords.empty()) {
        change.LeadAfter += ticks;
        continue;
      }
      const std::int64_t longer = TicksOf(change.NewRecords.back()) + ticks;
      if (longer > kLargestVariableLength) return {std::nullopt, kDeleteTooLong};
      SetDelta(change.NewRecords.back(), change.NewTexts.back(), longer);
      continue;
    }
    change.NewRecords.push_back(change.OldRecords[i]);
    change.NewTexts.push_back(change.OldTexts[i]);
    change.NewOrigins.push_back(change.OldOrigins[i]);
    if (after_deleted) GiveStatusBack(change.NewRecords.back());
    after_deleted = false;
  }
  edit.Change = std::move(change);
  return edit;
}

RowEdit PlanInsert(const EditBuffers& buffers, std::size_t after, std::int64_t ticks, const EventInput& input,
                   RowNaming& naming) {
  const TrackRows& rows = buffers.Rows;
  const auto row = static_cast<std::int64_t>(after);
  if (row >= rows.size()) return {};
  const std::int64_t most = TicksOf(rows.Record(row));
  if (ticks < 0 || ticks > most) return {std::nullopt, TicksRangeMessage(most)};

  const bool running_next = row + 1 < rows.size() && rows.Record(row + 1).Status <= -0x80;
  RowChange change = BeginRowChange(buffers, after, running_next ? 2 : 1, /*touch_origins=*/true);
  change.NewRecords.push_back(change.OldRecords[0]);
  change.NewTexts.push_back(change.OldTexts[0]);
  change.NewOrigins.push_back(change.OldOrigins[0]);
  SetDelta(change.NewRecords[0], change.NewTexts[0], ticks);

  EventRecord inserted = input.Row;
  inserted.Delta = static_cast<std::int32_t>(most - ticks);
  const BuiltRow texts = BuildRow(inserted, static_cast<std::int64_t>(after + 1), naming);
  const auto index = static_cast<std::int64_t>(buffers.Origins.Inserted.size());
  change.NewRecords.push_back(inserted);
  change.NewTexts.push_back(KeptRow(texts));
  change.NewOrigins.push_back(-1 - index);
  change.Inserted.emplace_back(index, input.Bytes);

  if (running_next) {
    change.NewRecords.push_back(change.OldRecords[1]);
    change.NewTexts.push_back(change.OldTexts[1]);
    change.NewOrigins.push_back(change.OldOrigins[1]);
    GiveStatusBack(change.NewRecords.back());
  }
  RowEdit edit;
  edit.Change = std::move(change);
  return edit;
}

}  // namespace quavert
