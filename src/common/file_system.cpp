#include "common/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/binary_file.h"
#include "common/progress.h"
#include "common/run_error.h"

namespace quavert {
namespace {

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

void CopyContent(BinaryFile& source, BinaryFile& target, Progress* progress) {
  std::vector<char> block(1 << 16);
  ProgressSteps steps(progress, progress == nullptr ? 0 : source.Length());
  for (;;) {
    steps.At(source.Position() - 1);
    const std::size_t got = source.Read(block.data(), block.size());
    if (got == 0) break;
    target.Write(block.data(), got);
  }
}

bool IsDevice(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
}

// The permissions a copy at `to` gets: those of the file it replaces, or the usual ones.
mode_t CopyModeAt(const std::string& to) {
  struct stat info {};
  if (::stat(to.c_str(), &info) == 0) return info.st_mode & 07777;
  return 0666 & ~CurrentUmask();
}

// Asks the system to put the file at `path` on disk; false when it cannot.
bool SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string FolderOf(std::string_view path) {
  const auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string NameOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.empty() ? "." : path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::int64_t FileLength(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) ThrowFileError(errno);
  if (S_ISDIR(info.st_mode)) throw RunError(kPathFileAccess, "Is a directory");
  return info.st_size;
}

void DeleteFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0) ThrowFileError(errno);
}

void DeleteLeftover(const std::string& path) noexcept {
  if (!path.empty()) ::unlink(path.c_str());
}

void RenameFile(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) ThrowFileError(errno);
}

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0) ThrowFileError(errno == EEXIST ? EACCES : errno);
}

std::string MakeTemporaryFolder(std::string_view prefix) {
  const char* base = std::getenv("TMPDIR");
  const std::string pattern = JoinPath(base != nullptr && *base != '\0' ? base : "/tmp", std::string(prefix) + "-XXXXXX");
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) ThrowFileError(errno);
  return buffer.data();
}

std::string CurrentFolder() {
  std::vector<char> buffer(PATH_MAX);
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) ThrowFileError(errno);
  return buffer.data();
}

void CopyFileSafely(const std::string& from, const std::string& to, Progress* progress) {
  BinaryFile source(from, BinaryFile::Mode::kRead);
  if (IsDevice(to)) {
    // A device such as /dev/null cannot be replaced; it takes the bytes as they come.
    BinaryFile target(to, BinaryFile::Mode::kReadWrite);
    CopyContent(source, target, progress);
    target.Close();
    return;
  }
  const std::string folder = FolderOf(to);
  std::string temporary = JoinPath(folder.empty() ? "." : folder, std::string(".").append(NameOf(to)).append(".XXXXXX"));
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) ThrowFileError(errno);
  ::close(fd);
  try {
    BinaryFile target(temporary, BinaryFile::Mode::kCreate);
    CopyContent(source, target, progress);
    target.Sync();
    target.Close();
    ::chmod(temporary.c_str(), CopyModeAt(to));
    RenameFile(temporary, to);
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
}

void MoveFileSafely(const std::string& from, const std::string& to) {
  // Any step that fails (another file system, a folder in the way) leaves it to the copy, which
  // says why when it fails too.
  if (!IsDevice(to) && SyncFile(from) && ::chmod(from.c_str(), CopyModeAt(to)) == 0 &&
      ::rename(from.c_str(), to.c_str()) == 0)
    return;
  CopyFileSafely(from, to);
}

}  // namespace quavert
