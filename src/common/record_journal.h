#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/binary_file.h"
#include "common/record_file.h"

namespace quavert {

/// The records that writes into a record file replace, kept in a file of their own so that the
/// writes can be taken back. The journal's file is made at the first run kept and deleted with it.
class RecordJournal {
 public:
  /// A journal of the writes to come into `file`, kept at `path`.
  RecordJournal(std::string path, RecordFile& file);
  ~RecordJournal();
  RecordJournal(const RecordJournal&) = delete;
  RecordJournal& operator=(const RecordJournal&) = delete;

  /// Keeps `count` records from number `first` as the file holds them, before they are written over.
  void Keep(std::int64_t first, std::int64_t count);
  /// Writes every run kept back into the file and cuts it to its length when the journal began:
  /// it holds what it held then.
  void PutBack();

 private:
  std::string path_;
  RecordFile& records_;
  std::int64_t length_;  // the file's length when the journal began
  BinaryFile file_;
  std::vector<std::pair<std::int64_t, std::int64_t>> runs_;  // first record and count, in order kept
};

}  // namespace quavert
