#include "writing/working_files_flush.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "common/run_error.h"
#include "session/session.h"

namespace quavert {
namespace {

// Records put together before one write: memory stays small whatever the track.
constexpr std::int64_t kRecordsPerWrite = 5000;

template <typename Row, typename Append>
void WriteRows(const std::string& path, std::size_t record_length, const std::vector<Row>& rows, std::int64_t count,
               Append append) {
  RecordFile file(path, record_length);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(kRecordsPerWrite) * record_length);
  for (std::int64_t first = 0; first < count; first += kRecordsPerWrite) {
    const std::int64_t end = std::min(count, first + kRecordsPerWrite);
    bytes.clear();
    for (std::int64_t row = first; row < end; ++row) append(rows[static_cast<std::size_t>(row)], bytes);
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
  WriteRows(session.AppPath(kNotesDat), kEventRecordLength, buffers.EventBuffer, count, AppendEventRecord);
  session.DataDatMade = true;
  WriteRows(session.AppPath(kDataDat), kListRowLength, buffers.ListBuffer, count, AppendListRow);
}

}  // namespace quavert
