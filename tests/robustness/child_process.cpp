#include "robustness/child_process.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <grp.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace quavert::testing {
namespace {

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = ::write(fd, text.data() + done, text.size() - done);
    if (put <= 0) return;
    done += static_cast<std::size_t>(put);
  }
}

[[noreturn]] void RunChild(int fd, const ChildLimits& limits, const std::function<std::vector<std::string>()>& work) {
  std::vector<std::string> lines;
  int code = 0;
  try {
    if (limits.file_size_limit >= 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{};
      ::getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = static_cast<rlim_t>(limits.file_size_limit);
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("setrlimit failed");
    }
    if (limits.unprivileged && ::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 || ::setuid(kUnprivilegedId) != 0)
        throw std::runtime_error("cannot drop to an unprivileged user");
    }
    lines = work();
  } catch (const std::exception& error) {
    lines.push_back(std::string("exception: ") + error.what());
    code = 3;
  }
  // One line each on the pipe: a line break inside a line travels as a backslash and "n".
  std::string text;
  for (const std::string& line : lines) {
    for (char c : line) {
      if (c == '\\') text += "\\\\";
      else if (c == '\n') text += "\\n";
      else text += c;
    }
    text += '\n';
  }
  WriteAll(fd, text);
  ::close(fd);
  ::_exit(code);
}

}  // namespace

ChildResult RunInChild(const ChildLimits& limits, const std::function<std::vector<std::string>()>& work) {
  int fds[2];
  if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::close(fds[0]);
    RunChild(fds[1], limits, work);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fds[0]);

  ChildResult result;
  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.exited = WIFEXITED(status);
  result.exit_code = result.exited ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  result.peak_rss_kb = usage.ru_maxrss;
  std::string line;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\n') {
      result.lines.push_back(line);
      line.clear();
    } else if (text[at] == '\\' && at + 1 < text.size()) {
      line += text[++at] == 'n' ? '\n' : text[at];
    } else {
      line += text[at];
    }
  }
  return result;
}

bool KillChildAfter(std::int64_t delay_us, const std::function<void()>& work) {
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    try {
      work();
    } catch (...) {
      ::_exit(3);
    }
    ::_exit(0);
  }
  ::usleep(static_cast<useconds_t>(delay_us));
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

void LiftFileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace quavert::testing
