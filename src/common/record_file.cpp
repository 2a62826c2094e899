#include "common/record_file.h"

#include <algorithm>

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
  std::string out;
  GetRecords(first, count, out);
  return out;
}

void RecordFile::GetRecords(std::int64_t first, std::int64_t count, std::string& out) {
  if (first < 1 || count < 0) throw RunError(kBadFileNameOrNumber);
  out.resize(static_cast<std::size_t>(count) * length_);
  file_.Seek((first - 1) * static_cast<std::int64_t>(length_) + 1);
  const std::size_t got = file_.Read(out.data(), out.size());
  // What the file does not have reads as blanks.
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(got), out.end(), ' ');
}

}  // namespace quavert
