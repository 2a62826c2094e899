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

void FlushEventBlock(Session& session, RecordFile& notes) {
  char bytes[kBlockRows * kEventRecordLength];
  for (int row = 0; row < kBlockRows; ++row) {
    // Each row goes out classified as the listing classifies it, so that notes.dat is written
    // once: the listing finds nothing to write again.
    EventRecord record = session.buffers.EventBuffer[static_cast<std::size_t>(row)];
    ClassifyRow(record);
    if (record.Delta > 0) session.decoder.RowTicks += record.Delta;
    WriteEventRecord(record, bytes + row * kEventRecordLength);
  }
  notes.PutRecords(session.decoder.LastEventIndex - kBlockRows + 1, std::string_view(bytes, sizeof bytes));
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

void CopyRecords(const std::string& from, const std::string& to, std::int64_t first, std::int64_t end) {
  // Runs of this many records: memory stays small whatever the files.
  constexpr std::int64_t kRecordsPerCopy = 5000;
  if (first >= end) return;
  RecordFile source(from, kEventRecordLength);
  RecordFile target(to, kEventRecordLength);
  std::string bytes;
  for (std::int64_t at = first; at < end; at += kRecordsPerCopy) {
    source.GetRecords(at + 1, std::min(kRecordsPerCopy, end - at), bytes);
    target.PutRecords(at + 1, bytes);
  }
  target.Close();
}

void TakeSideRecords(const std::string& side, const std::string& notes) {
  const std::int64_t side_length = FileLength(side);
  if (!FileExists(notes) || FileLength(notes) <= side_length) {
    RenameFile(side, notes);
    return;
  }
  CopyRecords(side, notes, 0, side_length / static_cast<std::int64_t>(kEventRecordLength));
  DeleteFile(side);
}

}  // namespace quavert
