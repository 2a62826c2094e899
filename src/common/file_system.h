#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/progress.h"

namespace quavert {

/// `folder` & "/" & `name`.
std::string JoinPath(std::string_view folder, std::string_view name);
/// The part of `path` before its last "/" ("" when it has none).
std::string FolderOf(std::string_view path);
/// The part of `path` after its last "/" (all of it when it has none).
std::string NameOf(std::string_view path);

/// True when `path` names an existing file that is not a folder (hidden and read-only files count).
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
/// True when both paths name one existing file (the same device and inode, links followed).
bool SameFile(const std::string& a, const std::string& b);
/// Length in bytes of an existing file; RunError 53 when it does not exist.
std::int64_t FileLength(const std::string& path);
/// Deletes a file; RunError 53 when it does not exist.
void DeleteFile(const std::string& path);
/// Deletes a file of the program's own that is done with, when it is there. One that cannot be
/// deleted stays as a leftover, which the next use of its name makes anew.
void DeleteLeftover(const std::string& path) noexcept;
/// Gives `from` the name `to`, replacing a file of that name in one step.
void RenameFile(const std::string& from, const std::string& to);
/// Creates a folder; RunError 75 when it exists already.
void MakeFolder(const std::string& path);
/// The process's current folder.
std::string CurrentFolder();
/// Creates a new, empty folder named `prefix` and six random characters under $TMPDIR (or /tmp)
/// and returns its path; RunError with the system's reason when it cannot.
std::string MakeTemporaryFolder(std::string_view prefix);

/// Copies `from` to `to` so that `to` is at every moment either as it was or a complete copy:
/// the bytes go to a new file in the destination's folder, reach the disk, and then replace
/// `to` in one step. On failure the temporary file is removed and RunError says why.
/// `progress` hears how many bytes were copied.
void CopyFileSafely(const std::string& from, const std::string& to, Progress* progress = nullptr);

/// Puts the bytes of `from` at `to` as CopyFileSafely does (on disk first, the permissions a copy
/// gets, `to` replaced in one step), but by renaming `from` when both lie on one file system, so
/// nothing is copied: `from` is then gone. Otherwise, and for a device, copies and keeps `from`.
/// RunError as CopyFileSafely.
void MoveFileSafely(const std::string& from, const std::string& to);

}  // namespace quavert
