#include "commands/working_files_flush.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/session.h"
#include "common/record_file.h"
#include "common/run_error.h"

namespace quavert {
namespace {

// Records put together before one write: memory stays small whatever the track.
constexpr std::int64_t kRecordsPerWrite = 5000;

// Writes records 1..count of the file at `path`, record r + 1 formatted by write(r, place).
template <typename Write>
void WriteRows(const std::string& path, std::size_t record_length, std::int64_t count, Write write) {
  RecordFile file(path, record_length);
  std::string bytes;
  for (std::int64_t first = 0; first < count; first += kRecordsPerWrite) {
    const std::int64_t end = std::min(count, first + kRecordsPerWrite);
    bytes.resize(static_cast<std::size_t>(end - first) * record_length);
    for (std::int64_t row = first; row < end; ++row)
      write(static_cast<std::size_t>(row), bytes.data() + static_cast<std::size_t>(row - first) * record_length);
    file.PutRecords(first + 1, bytes);
  }
  file.Close();
}

}  // namespace

void FlushWorkingFiles(Session& session) {
  const std::int64_t count = session.decoder.LastEventIndex + 1;
  if (count <= 0) return;
  const EditBuffers& buffers = session.buffers;
  if (static_cast<std::int64_t>(buffers.EventBuffer.size()) < count ||
      static_cast<std::int64_t>(buffers.ListBuffer.size()) < count)
    throw RunError(kIndexOutOfRange);
  session.NotesDatMade = true;
  WriteRows(session.AppPath(kNotesDat), kEventRecordLength, count,
            [&](std::size_t row, char* out) { WriteEventRecord(buffers.EventBuffer[row], out); });
  session.DataDatMade = true;
  WriteRows(session.AppPath(kDataDat), kListRowLength, count,
            [&](std::size_t row, char* out) { WriteListRow(buffers.ListBuffer.Texts(row), out); });
}

}  // namespace quavert
