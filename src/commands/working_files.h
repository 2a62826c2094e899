#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "decoding/records.h"

namespace quavert {

struct Session;
class RecordFile;

/// Rows of EventBuffer that the decoder fills before writing them out as one block.
inline constexpr int kBlockRows = 100;

/// Takes a decode's rows in place of notes.dat, where nobody reads them back (quavert-cli's
/// report): while Session::RowsTaker is set, FlushEventBlock hands each block here instead.
class DecodedRowsTaker {
 public:
  /// Rows `first` (numbered from 0 in the decode) onwards: as notes.dat would read them back,
  /// classified as the listing classifies them; the last block's placeholders are left out. They
  /// are the decoder's block, which the taker may change: it is cleared next. A decode that
  /// starts again (after a repair) starts again from row 0. A RunError thrown here ends the
  /// decode as a failure to write notes.dat does.
  virtual void TakeRows(std::int64_t first, std::span<EventRecord> rows) = 0;

 protected:
  ~DecodedRowsTaker() = default;
};

/// Sets rows 0..100 of EventBuffer, every field, to -1 (the buffer grows to 101 rows when it is
/// shorter; rows past 100 are left alone).
void ClearEventBlock(Session& session);

/// Writes rows 0..99 of EventBuffer to `notes` (notes.dat) in one write, row r as record
/// LastEventIndex - 100 + r + 1, then clears the block and sets BlockRow to 0. RunError when the
/// file cannot be written. While session.RowsTaker is set, the rows go to it and notes.dat is
/// not written; a record no notes.dat field could hold fails as its write would.
void FlushEventBlock(Session& session, RecordFile& notes);

/// Adds one event row: counts it in LastEventIndex, moves BlockRow on (writing the full block
/// first when the 101st row of a block arrives), and puts `row` into EventBuffer.
void AddEventRow(Session& session, RecordFile& notes, const EventRecord& row);
/// The same, returning the new row in EventBuffer, every field -1, for the caller to fill in
/// place; valid until the next row is added.
EventRecord& NewEventRow(Session& session, RecordFile& notes);

/// Records [first, end) of the records file at `from` go to the same places of the one at `to`,
/// in runs, as if they had been written there. RunError when either file fails.
void CopyRecords(const std::string& from, const std::string& to, std::int64_t first, std::int64_t end,
                 std::size_t record_length = kEventRecordLength);
/// A records file (notes.dat, data.dat at `target`) takes the records of `side`, made beside it, as
/// if they had been written over its start: records past them stay. `side` is gone afterwards. The
/// cheaper way is taken: renamed over a file no longer than it, else copied in. RunError when a
/// file fails.
void TakeSideRecords(const std::string& side, const std::string& target,
                     std::size_t record_length = kEventRecordLength);

}  // namespace quavert
