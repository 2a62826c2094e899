#include "commands/working_files.h"

#include <algorithm>
#include <string>

#include "app/session.h"
#include "common/file_system.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "editing/row_rules.h"

namespace quavert {

void ClearEventBlock(Session& session) {
  std::vector<EventRecord>& buffer = session.buffers.EventBuffer;
  if (buffer.size() < kBlockRows + 1) buffer.resize(kBlockRows + 1);
  std::fill(buffer.begin(), buffer.begin() + kBlockRows + 1, EventRecord{});
}

namespace {

// Values whose notes.dat text is the sign-position form, which reads back as the value itself:
// six digits in a field of 7, nine in the delta's field of 10.
constexpr std::int32_t kPlainField = 999999;
constexpr std::int32_t kPlainDelta = 999999999;

bool FitsPlain(std::int32_t value, std::int32_t limit) { return value >= -limit && value <= limit; }

// Whether every field of the record is in the plain form.
bool ReadsBackAsItStands(const EventRecord& record) {
  return FitsPlain(record.Status, kPlainField) && FitsPlain(record.Data1, kPlainField) &&
         FitsPlain(record.Data2, kPlainField) && FitsPlain(record.Delta, kPlainDelta) &&
         FitsPlain(record.RowKind, kPlainField) && FitsPlain(record.MetaMark, kPlainField) &&
         FitsPlain(record.NoteState, kPlainField);
}

// The record as notes.dat reads it back, through its text: a record no field can hold fails as
// its write would.
EventRecord ReadBack(const EventRecord& record) {
  char text[kEventRecordLength];
  WriteEventRecord(record, text);
  return ParseEventRecord({text, kEventRecordLength});
}

// FlushEventBlock for the taker: the block's real rows (all of a full block, up to BlockRow
// of the last one) go to it where they lie, as notes.dat reads them back.
void HandOverEventBlock(DecoderState& decoder, EventRecord* rows, DecodedRowsTaker& taker) {
  for (int row = 0; row < kBlockRows; ++row)
    if (!ReadsBackAsItStands(rows[row])) rows[row] = ReadBack(rows[row]);
  const int count = decoder.BlockRow >= kBlockRows ? kBlockRows : decoder.BlockRow + 1;
  taker.TakeRows(decoder.LastEventIndex - kBlockRows, std::span<EventRecord>(rows, static_cast<std::size_t>(count)));
}

}  // namespace

void FlushEventBlock(Session& session, RecordFile& notes) {
  EventRecord* const rows = session.buffers.EventBuffer.data();
  // Each row goes out classified as the listing classifies it, so that notes.dat is written
  // once: the listing finds nothing to write again.
  for (int row = 0; row < kBlockRows; ++row) {
    ClassifyRow(rows[row]);
    if (rows[row].Delta > 0) session.decoder.RowTicks += rows[row].Delta;
  }
  if (session.RowsTaker != nullptr) {
    HandOverEventBlock(session.decoder, rows, *session.RowsTaker);
  } else {
    char bytes[kBlockRows * kEventRecordLength];
    for (int row = 0; row < kBlockRows; ++row) WriteEventRecord(rows[row], bytes + row * kEventRecordLength);
    notes.PutRecords(session.decoder.LastEventIndex - kBlockRows + 1, std::string_view(bytes, sizeof bytes));
  }
  ClearEventBlock(session);
  session.decoder.BlockRow = 0;
}

EventRecord& NewEventRow(Session& session, RecordFile& notes) {
  DecoderState& decoder = session.decoder;
  ++decoder.LastEventIndex;
  ++decoder.BlockRow;
  if (decoder.BlockRow == kBlockRows) FlushEventBlock(session, notes);
  std::vector<EventRecord>& buffer = session.buffers.EventBuffer;
  if (static_cast<std::size_t>(decoder.BlockRow) >= buffer.size()) throw RunError(kIndexOutOfRange);
  return buffer[static_cast<std::size_t>(decoder.BlockRow)];
}

void AddEventRow(Session& session, RecordFile& notes, const EventRecord& row) { NewEventRow(session, notes) = row; }

void CopyRecords(const std::string& from, const std::string& to, std::int64_t first, std::int64_t end,
                 std::size_t record_length) {
  // Runs of this many records: memory stays small whatever the files.
  constexpr std::int64_t kRecordsPerCopy = 5000;
  if (first >= end) return;
  RecordFile source(from, record_length);
  RecordFile target(to, record_length);
  std::string bytes;
  for (std::int64_t at = first; at < end; at += kRecordsPerCopy) {
    source.GetRecords(at + 1, std::min(kRecordsPerCopy, end - at), bytes);
    target.PutRecords(at + 1, bytes);
  }
  target.Close();
}

void TakeSideRecords(const std::string& side, const std::string& target, std::size_t record_length) {
  const std::int64_t side_length = FileLength(side);
  if (!FileExists(target) || FileLength(target) <= side_length) {
    RenameFile(side, target);
    return;
  }
  CopyRecords(side, target, 0, side_length / static_cast<std::int64_t>(record_length), record_length);
  DeleteFile(side);
}

}  // namespace quavert
