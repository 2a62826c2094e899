#include "timeline/note_spans.h"

#include <algorithm>
#include <array>

namespace quavert {
namespace {

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kKeys = 128;
constexpr int kChannels = 16;

}  // namespace

NoteEdge NoteEdgeOf(const EventRecord& row) {
  // Notes keep their own status byte in a row, also under running status.
  const int kind = row.Status & 0xF0;
  if (row.Status < 0x80 || row.Status > 0xEF || row.Data1 < 0 || row.Data1 >= kKeys || row.Data2 < 0) return NoteEdge::kNone;
  if (kind == kNoteOn) return row.Data2 > 0 ? NoteEdge::kOn : NoteEdge::kOff;
  return kind == kNoteOff ? NoteEdge::kOff : NoteEdge::kNone;
}

std::int64_t NoteOffRow(const std::vector<EventRecord>& rows, std::size_t on_row) {
  const auto count = static_cast<std::int64_t>(rows.size());
  return NoteOffRow(count, static_cast<std::int64_t>(on_row), [&rows](std::int64_t first, std::int64_t n) {
    return std::vector<EventRecord>(rows.begin() + first, rows.begin() + first + n);
  });
}

std::int64_t NoteOffRow(std::int64_t count, std::int64_t on_row,
                        const std::function<std::vector<EventRecord>(std::int64_t, std::int64_t)>& read) {
  // Rows read at a time: the Off is mostly near its On, and a long search keeps little in memory.
  constexpr std::int64_t kRun = 1024;
  if (on_row < 0 || on_row >= count) return -1;
  const EventRecord on = read(on_row, 1).front();
  if (NoteEdgeOf(on) != NoteEdge::kOn) return -1;
  for (std::int64_t first = on_row + 1; first < count; first += kRun) {
    const std::vector<EventRecord> run = read(first, std::min(kRun, count - first));
    for (std::size_t i = 0; i < run.size(); ++i) {
      const EventRecord& other = run[i];
      if (NoteEdgeOf(other) == NoteEdge::kOff && (other.Status & 0x0F) == (on.Status & 0x0F) && other.Data1 == on.Data1)
        return first + static_cast<std::int64_t>(i);
    }
  }
  return -1;
}

std::vector<std::int64_t> RowTickTable(const std::vector<EventRecord>& rows, std::int64_t first_tick,
                                       const std::vector<std::int64_t>& extra) {
  const bool with_extra = extra.size() == rows.size() + 1;
  std::vector<std::int64_t> ticks;
  ticks.reserve(rows.size() + 1);
  std::int64_t tick = first_tick;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ticks.push_back(tick);
    tick += std::max(rows[i].Delta, 0) + (with_extra ? extra[i + 1] : 0);
  }
  ticks.push_back(tick);
  return ticks;
}

NoteSpans BuildNoteSpans(const std::vector<EventRecord>& rows, std::int64_t first_tick,
                         const std::vector<std::int64_t>& extra) {
  NoteSpans notes;
  std::vector<std::int64_t> ticks = RowTickTable(rows, first_tick, extra);
  notes.EndTick = ticks.back();
  ticks.pop_back();
  notes.RowTicks = std::move(ticks);
  notes.SpanOfRow.assign(rows.size(), -1);
  notes.Spans.reserve(rows.size() / 2);  // a track of notes has an On and an Off for each
  // The spans still sounding, by channel and key.
  std::array<std::vector<std::int32_t>, kChannels * kKeys> open;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const EventRecord& record = rows[row];
    const NoteEdge edge = NoteEdgeOf(record);
    if (edge == NoteEdge::kNone) continue;
    const int channel = record.Status & 0x0F;
    std::vector<std::int32_t>& sounding = open[static_cast<std::size_t>(channel * kKeys + record.Data1)];
    const std::int64_t tick = notes.RowTicks[row];
    if (edge == NoteEdge::kOn) {
      const auto index = static_cast<std::int32_t>(notes.Spans.size());
      notes.Spans.push_back({static_cast<std::int64_t>(row), -1, tick, notes.EndTick, record.Data1, record.Data2, channel});
      notes.SpanOfRow[row] = index;
      sounding.push_back(index);
      continue;
    }
    for (const std::int32_t index : sounding) {
      NoteSpan& span = notes.Spans[static_cast<std::size_t>(index)];
      span.OffRow = static_cast<std::int64_t>(row);
      span.EndTick = tick;
      notes.SpanOfRow[row] = index;
    }
    sounding.clear();
  }
  for (const NoteSpan& span : notes.Spans) notes.Longest = std::max(notes.Longest, span.EndTick - span.StartTick);
  return notes;
}

std::size_t FirstSpanReaching(const NoteSpans& notes, std::int64_t tick) {
  // A span that starts before tick - Longest ends before tick.
  const std::int64_t earliest = tick - notes.Longest;
  const auto first = std::lower_bound(notes.Spans.begin(), notes.Spans.end(), earliest,
                                      [](const NoteSpan& span, std::int64_t at) { return span.StartTick < at; });
  return static_cast<std::size_t>(first - notes.Spans.begin());
}

std::int64_t RowAtTick(const NoteSpans& notes, std::int64_t tick) {
  const auto after = std::upper_bound(notes.RowTicks.begin(), notes.RowTicks.end(), tick);
  return static_cast<std::int64_t>(after - notes.RowTicks.begin()) - 1;
}

}  // namespace quavert
