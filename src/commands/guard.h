#pragma once

#include <exception>
#include <utility>

namespace quavert {

struct Session;

/// Error number shown for a failure that is not a RunError: out of memory.
inline constexpr int kOutOfMemory = 7;
/// Error number shown for any other unexpected failure.
inline constexpr int kInternalError = 51;

/// The error number of a failure: a RunError's own, 7 for memory exhaustion, 51 for anything else.
int ErrorNumberOf(const std::exception& failure);

/// Shows "Error:" and the number in sign-position form ("Error: 62") with an OK button.
void ShowErrorNumber(Session& session, int code);

/// Runs one command of the window; a failure that escapes it is shown as "Error:" and its number,
/// and the program goes on. No command can end the program.
template <typename Command>
void RunGuarded(Session& session, Command&& command) {
  try {
    std::forward<Command>(command)();
  } catch (const std::exception& failure) {
    try {
      ShowErrorNumber(session, ErrorNumberOf(failure));
    } catch (const std::exception&) {
      // Not even the message could be shown; the window stays as it is.
    }
  }
}

}  // namespace quavert
