#pragma once

#include <stdexcept>
#include <string>

namespace quavert {

/// Run-time error numbers. A routine's failure handler decides from the number what happens next.
enum ErrorCode : int {
  kInvalidArgument = 5,
  kOverflow = 6,
  kIndexOutOfRange = 9,
  kBadFileNameOrNumber = 52,
  kFileNotFound = 53,
  kDiskFull = 61,
  kInputPastEnd = 62,
  kPathFileAccess = 75,
  kPathNotFound = 76,
};

/// A run-time failure: its error number and, for file failures, what the system said.
class RunError : public std::runtime_error {
 public:
  explicit RunError(int code, std::string reason = {});
  int code() const { return code_; }
  /// The system's words for the failure ("No space left on device"), or a fixed text for the code.
  const std::string& reason() const { return reason_; }

 private:
  int code_;
  std::string reason_;
};

/// The fixed text of an error number, for messages that name the cause.
std::string ErrorCodeText(int code);

/// Maps an errno value of a failed file operation to the error number a caller expects.
int ErrorCodeFromErrno(int err);

/// Throws the RunError that errno `err` stands for, with the system's text as its reason.
[[noreturn]] void ThrowFileError(int err);

}  // namespace quavert
