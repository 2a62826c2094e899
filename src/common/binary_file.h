#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quavert {

/// A file opened by path for the length of one routine, read and written in binary at a
/// 1-based position that moves with every read and write. Writes are buffered; Close() reports
/// a write that failed. Every failure is a RunError (53 file not found, 76 path not found,
/// 75 access denied, 61 disk full).
class BinaryFile {
 public:
  enum class Mode {
    kRead,       ///< existing file, reading only
    kCreate,     ///< created or truncated, reading and writing
    kReadWrite,  ///< created when missing, kept otherwise, reading and writing
  };

  BinaryFile() = default;
  BinaryFile(const std::string& path, Mode mode);
  BinaryFile(BinaryFile&& other) noexcept;
  BinaryFile& operator=(BinaryFile&& other) noexcept;
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;
  /// Closes without reporting: a routine that wants to know calls Close() itself.
  ~BinaryFile();

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  /// Length in bytes, pending writes included.
  std::int64_t Length();
  /// 1-based position of the next byte read or written.
  std::int64_t Position() const { return position_; }
  void Seek(std::int64_t position);

  /// Reads up to `size` bytes at the current position into `out`; returns how many were read.
  /// Asking for bytes past the end is not an error: PastEnd() tells it afterwards.
  std::size_t Read(void* out, std::size_t size);
  /// True once a read has asked for a byte past the end of the file.
  bool PastEnd() const { return past_end_; }

  void Write(std::string_view bytes);
  void Write(const void* data, std::size_t size);

  /// Cuts the file to its first `length` bytes (pending writes past them are dropped with them)
  /// and moves the position just after them.
  void Truncate(std::int64_t length);

  /// Writes what is pending and closes; RunError when the data could not be written.
  void Close();
  /// Hands pending writes to the system.
  void Flush();
  /// Flushes pending writes and asks the system to put the file on disk.
  void Sync();
  /// Flushes pending writes and asks the system to start putting the file on disk, without
  /// waiting: a Sync() later has less to wait for. A system that cannot is not an error.
  void StartSync();

 private:
  void Discard() noexcept;
  // Hands `size` bytes to the system at 1-based `position`, all of them or a RunError.
  void WriteAt(const char* data, std::size_t size, std::int64_t position);

  int fd_ = -1;
  std::string path_;
  std::int64_t position_ = 1;
  bool past_end_ = false;
  std::string pending_;             // bytes written but not yet handed to the system
  std::int64_t pending_start_ = 1;  // file position of pending_[0]
};

}  // namespace quavert
