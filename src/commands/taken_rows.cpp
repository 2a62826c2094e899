#include "commands/taken_rows.h"

#include "app/session.h"
#include "commands/current_genmidi.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "loading/report.h"

namespace quavert {
namespace {

constexpr const char* kSpillName = "lines.tmp";
// Lines copied from the file to the report per read.
constexpr std::size_t kCopyBytes = std::size_t{1} << 20;

}  // namespace

TakenTrackRows::~TakenTrackRows() {
  if (!spill_.IsOpen()) return;
  spill_ = BinaryFile();
  try {
    DeleteFile(session_.AppPath(kSpillName));
  } catch (const RunError&) {
    // The application folder goes with the run.
  }
}

void TakenTrackRows::Restart() {
  next_ = 0;
  total_ticks_ = 0;
  ListBuilderState& list = session_.list;
  lines_.Clear();
  // The lines of a block beyond the limit fit too, unless their names are very long.
  lines_.Reserve(kKeptLines + kBlockRows * 256);
  step_.emplace(RowNaming{session_.names, CurrentGenmidi(session_), list.DrumCache}, &lines_, total_ticks_);
  if (spill_.IsOpen()) spill_.Truncate(0);
}

void TakenTrackRows::TakeRows(std::int64_t first, std::span<EventRecord> rows) {
  if (first == 0) Restart();
  if (first != next_ || !step_) throw RunError(kIndexOutOfRange);
  for (EventRecord& record : rows) step_->List(record, next_++);
  if (lines_.Lines().size() < kKeptLines) return;
  if (!spill_.IsOpen()) spill_ = BinaryFile(session_.AppPath(kSpillName), BinaryFile::Mode::kCreate);
  spill_.Write(lines_.Lines());
  lines_.Clear();
}

void TakenTrackRows::WriteLines(Report& report) {
  if (spill_.IsOpen() && spill_.Length() > 0) {
    spill_.Flush();
    spill_.Seek(1);
    std::string bytes(kCopyBytes, '\0');
    for (std::size_t read; (read = spill_.Read(bytes.data(), bytes.size())) > 0;)
      report.WriteLines(std::string_view(bytes).substr(0, read));
    spill_.Truncate(0);
  }
  report.WriteLines(lines_.Lines());
  lines_.Clear();
}

}  // namespace quavert
