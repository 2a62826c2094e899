#include "loading/report.h"

#include "common/run_error.h"

namespace quavert {

void Report::Create(const std::string& path) {
  Close();
  unavailable_ = false;
  path_ = path;
  file_ = BinaryFile(path, BinaryFile::Mode::kCreate);
}

void Report::Reopen(const std::string& path) {
  Close();
  unavailable_ = false;
  path_ = path;
  file_ = BinaryFile(path, BinaryFile::Mode::kReadWrite);
  file_.Seek(file_.Length() + 1);
}

void Report::MarkUnavailable() {
  Close();
  unavailable_ = true;
}

void Report::WriteLine(std::string_view line) {
  if (unavailable_) return;
  if (!file_.IsOpen()) throw RunError(kBadFileNameOrNumber);
  file_.Write(line);
  file_.Write("\r\n");
}

void Report::WriteLines(std::string_view lines) {
  if (unavailable_) return;
  if (!file_.IsOpen()) throw RunError(kBadFileNameOrNumber);
  file_.Write(lines);
}

void Report::TakeBack(std::int64_t written) {
  if (file_.IsOpen() && written < Written()) file_.Truncate(written);
}

void Report::Flush() {
  if (file_.IsOpen()) file_.Flush();
}

void Report::StartSync() {
  if (file_.IsOpen()) file_.StartSync();
}

void Report::Close() {
  if (!file_.IsOpen()) return;
  try {
    file_.Close();
  } catch (const RunError&) {
    // The report is being let go of; a line that could not be written is not worth a message.
  }
}

}  // namespace quavert
