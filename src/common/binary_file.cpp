#include "common/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "common/file_system.h"
#include "common/run_error.h"

namespace quavert {
namespace {

constexpr std::size_t kWriteBuffer = 64 * 1024;

[[noreturn]] void ThrowOpenError(int err, const std::string& path) {
  // A missing folder is "path not found", a missing file in an existing folder "file not found".
  if (err == ENOENT && !FolderExists(FolderOf(path))) throw RunError(kPathNotFound, std::strerror(err));
  ThrowFileError(err);
}

}  // namespace

BinaryFile::BinaryFile(const std::string& path, Mode mode) : path_(path) {
  int flags = O_CLOEXEC;
  switch (mode) {
    // Opening a named pipe for reading would wait for a writer: it must fail instead.
    case Mode::kRead: flags |= O_RDONLY | O_NONBLOCK; break;
    case Mode::kCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case Mode::kReadWrite: flags |= O_RDWR | O_CREAT; break;
  }
  fd_ = ::open(path.c_str(), flags, 0644);
  if (fd_ < 0) ThrowOpenError(errno, path);
  struct stat info {};
  if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
    Discard();
    throw RunError(kPathFileAccess, "Is a directory");
  }
  if (mode == Mode::kRead && !S_ISREG(info.st_mode)) {
    Discard();
    throw RunError(kPathFileAccess, "Not a regular file");
  }
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept { *this = std::move(other); }

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
  if (this != &other) {
    Discard();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    position_ = other.position_;
    past_end_ = other.past_end_;
    pending_ = std::move(other.pending_);
    pending_start_ = other.pending_start_;
  }
  return *this;
}

BinaryFile::~BinaryFile() {
  try {
    if (IsOpen()) Flush();
  } catch (...) {
  }
  Discard();
}

void BinaryFile::Discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pending_.clear();
}

std::int64_t BinaryFile::Length() {
  if (!IsOpen()) throw RunError(kBadFileNameOrNumber);
  struct stat info {};
  if (::fstat(fd_, &info) != 0) ThrowFileError(errno);
  const std::int64_t pending_end = pending_start_ - 1 + static_cast<std::int64_t>(pending_.size());
  return std::max<std::int64_t>(info.st_size, pending_.empty() ? 0 : pending_end);
}

void BinaryFile::Seek(std::int64_t position) {
  if (position < 1) throw RunError(kBadFileNameOrNumber);
  position_ = position;
}

std::size_t BinaryFile::Read(void* out, std::size_t size) {
  if (!IsOpen()) throw RunError(kBadFileNameOrNumber);
  Flush();
  std::size_t done = 0;
  auto* bytes = static_cast<unsigned char*>(out);
  while (done < size) {
    const ssize_t got = ::pread(fd_, bytes + done, size - done, position_ - 1 + static_cast<std::int64_t>(done));
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno);
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  if (done < size) past_end_ = true;
  position_ += static_cast<std::int64_t>(done);
  return done;
}

void BinaryFile::Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

void BinaryFile::Write(const void* data, std::size_t size) {
  if (!IsOpen()) throw RunError(kBadFileNameOrNumber);
  const std::int64_t pending_end = pending_start_ + static_cast<std::int64_t>(pending_.size());
  if (!pending_.empty() && (pending_end != position_ || pending_.size() + size >= kWriteBuffer)) Flush();
  if (size >= kWriteBuffer) {
    // A block this large goes to the system as it is, without a copy into the buffer.
    WriteAt(static_cast<const char*>(data), size, position_);
    position_ += static_cast<std::int64_t>(size);
    return;
  }
  if (pending_.empty()) pending_start_ = position_;
  pending_.append(static_cast<const char*>(data), size);
  position_ += static_cast<std::int64_t>(size);
}

void BinaryFile::WriteAt(const char* data, std::size_t size, std::int64_t position) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::pwrite(fd_, data + done, size - done, position - 1 + static_cast<std::int64_t>(done));
    if (put < 0) {
      if (errno == EINTR) continue;
      ThrowFileError(errno);
    }
    done += static_cast<std::size_t>(put);
  }
}

void BinaryFile::Flush() {
  if (pending_.empty()) return;
  try {
    WriteAt(pending_.data(), pending_.size(), pending_start_);
  } catch (...) {
    pending_.clear();
    throw;
  }
  pending_.clear();
}

void BinaryFile::Truncate(std::int64_t length) {
  if (!IsOpen() || length < 0) throw RunError(kBadFileNameOrNumber);
  Flush();
  if (::ftruncate(fd_, length) != 0) ThrowFileError(errno);
  position_ = length + 1;
}

void BinaryFile::Sync() {
  if (!IsOpen()) throw RunError(kBadFileNameOrNumber);
  Flush();
  if (::fsync(fd_) != 0) ThrowFileError(errno);
}

void BinaryFile::StartSync() {
  if (!IsOpen()) throw RunError(kBadFileNameOrNumber);
  Flush();
  ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

void BinaryFile::Close() {
  if (!IsOpen()) return;
  try {
    Flush();
  } catch (...) {
    Discard();
    throw;
  }
  const int result = ::close(fd_);
  const int err = errno;
  fd_ = -1;
  if (result != 0) ThrowFileError(err);
}

}  // namespace quavert
