#include "commands/working_files.h"

#include <algorithm>
#include <string>

#include "app/session.h"
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

}  // namespace quavert
