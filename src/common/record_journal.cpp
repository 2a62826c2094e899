#include "common/record_journal.h"

#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert {

RecordJournal::RecordJournal(std::string path, RecordFile& file)
    : path_(std::move(path)), records_(file), length_(file.Length()) {}

RecordJournal::~RecordJournal() {
  if (!file_.IsOpen()) return;
  file_ = BinaryFile();
  DeleteLeftover(path_);
}

void RecordJournal::Keep(std::int64_t first, std::int64_t count) {
  if (!file_.IsOpen()) file_ = BinaryFile(path_, BinaryFile::Mode::kCreate);
  file_.Write(records_.GetRecords(first, count));
  runs_.emplace_back(first, count);
}

void RecordJournal::PutBack() {
  if (!file_.IsOpen()) return;
  file_.Seek(1);
  std::string bytes;
  for (const auto& [first, count] : runs_) {
    bytes.resize(static_cast<std::size_t>(count) * records_.RecordLength());
    if (file_.Read(bytes.data(), bytes.size()) != bytes.size()) throw RunError(kInputPastEnd);
    records_.PutRecords(first, bytes);
  }
  if (records_.Length() > length_) records_.Truncate(length_);
}

}  // namespace quavert
