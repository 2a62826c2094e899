#include "common/record_file.h"

#include "common/run_error.h"

namespace quavert {

RecordFile::RecordFile(const std::string& path, std::size_t record_length)
    : file_(path, BinaryFile::Mode::kReadWrite), length_(record_length) {}

void RecordFile::PutRecords(std::int64_t first, std::string_view bytes) {
  if (first < 1 || bytes.size() % length_ != 0) throw RunError(kBadFileNameOrNumber);
  file_.Seek((first - 1) * static_cast<std::int64_t>(length_) + 1);
  file_.Write(bytes);
}

std::string RecordFile::GetRecords(std::int64_t first, std::int64_t count) {
  if (first < 1 || count < 0) throw RunError(kBadFileNameOrNumber);
  std::string out(static_cast<std::size_t>(count) * length_, ' ');
  file_.Seek((first - 1) * static_cast<std::int64_t>(length_) + 1);
  file_.Read(out.data(), out.size());
  return out;
}

}  // namespace quavert
