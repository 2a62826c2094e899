#include "commands/working_files_flush.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/session.h"
#include "commands/working_files.h"
#include "common/file_system.h"
#include "common/progress.h"
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

// Records after the first `count` of the file at `from` (the rest of the decoder's last block,
// rows deleted since) go to the same places of the file at `to`, as if it had been written over.
void KeepRecordsAfter(const std::string& from, const std::string& to, std::int64_t count) {
  CopyRecords(from, to, count, FileLength(from) / static_cast<std::int64_t>(kEventRecordLength));
}

}  // namespace

void FlushWorkingFiles(Session& session, Progress* progress) {
  const std::int64_t count = session.decoder.LastEventIndex + 1;
  if (count <= 0) return;
  const TrackRows& rows = session.buffers.Rows;
  if (rows.size() < count) throw RunError(kIndexOutOfRange);
  // The rows may be read from notes.dat itself: the new records go to a file of their own,
  // which then takes notes.dat's name, while the rows go on reading the file they opened.
  session.NotesDatMade = true;
  const std::string notes = session.AppPath(kNotesDat);
  const std::string new_notes = notes + ".new";
  if (FileExists(new_notes)) DeleteFile(new_notes);
  ProgressSteps notes_steps(progress, count, 1, 3);
  WriteRows(new_notes, kEventRecordLength, count, [&](std::size_t row, char* out) {
    notes_steps.At(static_cast<std::int64_t>(row));
    rows.WriteRecordAt(static_cast<std::int64_t>(row), out);
  });
  KeepRecordsAfter(notes, new_notes, count);
  RenameFile(new_notes, notes);
  session.DataDatMade = true;
  ProgressSteps data_steps(progress, count, 2, 3);
  WriteRows(session.AppPath(kDataDat), kListRowLength, count, [&](std::size_t row, char* out) {
    data_steps.At(static_cast<std::int64_t>(row));
    rows.WriteTextsAt(static_cast<std::int64_t>(row), out);
  });
}

}  // namespace quavert
