#include "common/run_error.h"

#include <cerrno>
#include <cstring>

namespace quavert {

RunError::RunError(int code, std::string reason)
    : std::runtime_error("run-time error " + std::to_string(code)),
      code_(code),
      reason_(reason.empty() ? ErrorCodeText(code) : std::move(reason)) {}

std::string ErrorCodeText(int code) {
  switch (code) {
    case kInvalidArgument: return "Invalid procedure call or argument";
    case kOverflow: return "Overflow";
    case kIndexOutOfRange: return "Subscript out of range";
    case kBadFileNameOrNumber: return "Bad file name or number";
    case kFileNotFound: return "File not found";
    case kDiskFull: return "Disk full";
    case kInputPastEnd: return "Input past end of file";
    case kPathFileAccess: return "Path/File access error";
    case kPathNotFound: return "Path not found";
    default: return "Error " + std::to_string(code);
  }
}

int ErrorCodeFromErrno(int err) {
  switch (err) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case EBADF: return kBadFileNameOrNumber;
    default: return kPathFileAccess;
  }
}

void ThrowFileError(int err) { throw RunError(ErrorCodeFromErrno(err), std::strerror(err)); }

}  // namespace quavert
