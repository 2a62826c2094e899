#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/binary_file.h"

namespace quavert {

/// A random-access file of fixed-length records, numbered from 1, created when missing.
/// Records are read and written in runs, so a block of records costs one system call.
class RecordFile {
 public:
  RecordFile(const std::string& path, std::size_t record_length);

  std::size_t RecordLength() const { return length_; }

  /// Writes `count` records starting at record `first`; `bytes` holds exactly count records.
  void PutRecords(std::int64_t first, std::string_view bytes);
  void Put(std::int64_t record, std::string_view bytes) { PutRecords(record, bytes); }

  /// Reads `count` records starting at record `first`; records past the end read as blanks.
  std::string GetRecords(std::int64_t first, std::int64_t count);
  /// The same into `out`, whose memory is reused from block to block.
  void GetRecords(std::int64_t first, std::int64_t count, std::string& out);
  std::string Get(std::int64_t record) { return GetRecords(record, 1); }

  /// The file's length in bytes, pending writes included.
  std::int64_t Length() { return file_.Length(); }
  /// Cuts the file to `length` bytes.
  void Truncate(std::int64_t length) { file_.Truncate(length); }

  void Close() { file_.Close(); }

 private:
  BinaryFile file_;
  std::size_t length_;
};

}  // namespace quavert
