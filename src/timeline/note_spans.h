#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "decoding/records.h"

namespace quavert {

/// One sounding note of a track: from the row of its On to the row that ends it.
struct NoteSpan {
  std::int64_t OnRow = -1;   ///< 0-based index of the On row
  std::int64_t OffRow = -1;  ///< the row that ends it; -1 when nothing does (it lasts to the track's end)
  std::int64_t StartTick = 0;
  std::int64_t EndTick = 0;
  int Key = 0;
  int Velocity = 0;
  int Channel = 0;  ///< 0..15; 9 is the drum channel
  bool operator==(const NoteSpan&) const = default;
};

/// The drum channel (the tenth), counted from 0.
inline constexpr int kDrumChannel = 9;

/// The notes of a track and where its rows stand in time.
struct NoteSpans {
  std::vector<std::int64_t> RowTicks;  ///< the tick at which each row's event happens
  std::int64_t EndTick = 0;            ///< the tick after the last row's delta: the track's end
  std::vector<NoteSpan> Spans;         ///< ordered by StartTick, then by OnRow
  std::int64_t Longest = 0;            ///< the largest EndTick - StartTick of Spans
  std::vector<std::int32_t> SpanOfRow; ///< for each row, the index of the span it starts or ends; -1 for none
};

/// The tick of each row: `first_tick` for the first, then each row's Delta (the time after its
/// event; a negative one counts 0) and `extra[i]` (ticks of events between that have no row; see
/// RowTiming) added to the tick of the row before. `extra` counts only when it has an entry for
/// each row and one more. The last entry of the result is one past the rows: the track's end.
std::vector<std::int64_t> RowTickTable(const std::vector<EventRecord>& rows, std::int64_t first_tick,
                                       const std::vector<std::int64_t>& extra = {});

/// Pairs the track's note rows into spans, their rows at the ticks RowTickTable gives. An On (status 90..9F hex with a velocity above 0)
/// ends at the first later Off (80..8F hex) or On of velocity 0 of the same channel and key;
/// two Ons of one key open at once both end there. A note never ended lasts to the track's end.
NoteSpans BuildNoteSpans(const std::vector<EventRecord>& rows, std::int64_t first_tick,
                         const std::vector<std::int64_t>& extra = {});

/// What a row does to the notes: opens one (a Note On with a velocity above 0), ends those of its
/// channel and key (a Note Off, or a Note On of velocity 0), or neither.
enum class NoteEdge { kNone, kOn, kOff };
NoteEdge NoteEdgeOf(const EventRecord& row);

/// The row that ends the note row `on_row` opens: the first later row of the same channel and
/// key whose NoteEdgeOf is kOff, the pairing BuildNoteSpans makes. -1 when `on_row` opens no note
/// or nothing ends it.
std::int64_t NoteOffRow(const std::vector<EventRecord>& rows, std::size_t on_row);
/// The same over `count` rows read a run at a time: `read(first, n)` gives rows first .. first + n - 1.
std::int64_t NoteOffRow(std::int64_t count, std::int64_t on_row,
                        const std::function<std::vector<EventRecord>(std::int64_t, std::int64_t)>& read);

/// The index of the first span that may reach `tick` or later: every span before it ends
/// before `tick`. Found by binary search on the start ticks, bounded by the longest span.
std::size_t FirstSpanReaching(const NoteSpans& notes, std::int64_t tick);

/// The row being played at `tick`: the last row whose tick is `tick` or earlier; -1 when the
/// first row comes later or there are no rows.
std::int64_t RowAtTick(const NoteSpans& notes, std::int64_t tick);

}  // namespace quavert
