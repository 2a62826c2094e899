#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quavert::testing {

/// What a child process is put under before its work runs.
struct ChildLimits {
  /// Run as the unprivileged user and group 65534 when the tests run as root, so that file
  /// permissions hold for the child as they do for a user.
  bool unprivileged = false;
  /// A limit on the size of every file the child writes (RLIMIT_FSIZE), in bytes; -1 for none.
  /// SIGXFSZ is ignored, so a write past it fails as on a full disk. The child may lift it.
  std::int64_t file_size_limit = -1;
};

/// How a child ended and what its work said.
struct ChildResult {
  bool clean = false;              ///< returned from its work without an exception
  int signal = 0;                  ///< the signal that ended it, when one did
  std::vector<std::string> lines;  ///< what the work returned, or "exception: ..." when it threw
};

/// Runs `work` in a forked child under `limits` and waits for it. The work's lines come back
/// through a pipe; gtest assertions belong in the parent, on those lines.
ChildResult RunInChild(const ChildLimits& limits, const std::function<std::vector<std::string>()>& work);

/// Runs `work` in a forked child and kills it with SIGKILL `delay_us` microseconds after the
/// fork, unless it has ended by then.
void KillChildAfter(std::int64_t delay_us, const std::function<void()>& work);

/// Lifts the file size limit a child was started with (the soft limit back to the hard one).
void LiftFileSizeLimit();

/// The user and group an unprivileged child runs as.
inline constexpr unsigned kUnprivilegedId = 65534;

}  // namespace quavert::testing
