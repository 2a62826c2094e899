#include "robustness/child_process.h"

#include <grp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <exception>
#include <stdexcept>

#include "support/temp_folder.h"

namespace quavert::testing {
namespace {

void ApplyLimits(const ChildLimits& limits) {
  if (limits.file_size_limit >= 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(limits.file_size_limit);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
  }
  if (limits.unprivileged && ::geteuid() == 0 &&
      (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0))
    throw std::runtime_error("cannot drop to an unprivileged user");
}

// Forks; the child runs `child` and ends with the code it returns.
pid_t Fork(const std::function<int()>& child) {
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) ::_exit(child());
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

ChildResult RunInChild(const ChildLimits& limits, const std::function<std::vector<std::string>()>& work) {
  // The work's lines come back through a file in memory that parent and child share.
  const int lines_fd = ::memfd_create("child lines", 0);
  if (lines_fd < 0) throw std::runtime_error("memfd_create failed");
  const pid_t pid = Fork([&] {
    // Each line ends in a NUL: the program's messages hold line breaks, never NULs.
    std::string text;
    int code = 0;
    try {
      ApplyLimits(limits);
      for (const std::string& line : work()) text += line + '\0';
    } catch (const std::exception& error) {
      text += std::string("exception: ") + error.what() + '\0';
      code = 3;
    }
    LiftFileSizeLimit();
    return ::write(lines_fd, text.data(), text.size()) == std::ssize(text) ? code : 4;
  });
  const int status = Wait(pid);
  const std::string text = ReadFileBytes("/proc/self/fd/" + std::to_string(lines_fd));
  ::close(lines_fd);
  ChildResult result{WIFEXITED(status) && WEXITSTATUS(status) == 0, WIFSIGNALED(status) ? WTERMSIG(status) : 0, {}};
  for (std::size_t at = 0, end; (end = text.find('\0', at)) != std::string::npos; at = end + 1)
    result.lines.push_back(text.substr(at, end - at));
  return result;
}

void KillChildAfter(std::int64_t delay_us, const std::function<void()>& work) {
  const pid_t pid = Fork([&] {
    try {
      work();
      return 0;
    } catch (...) {
      return 3;
    }
  });
  ::usleep(static_cast<useconds_t>(delay_us));
  ::kill(pid, SIGKILL);
  Wait(pid);
}

void LiftFileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace quavert::testing
