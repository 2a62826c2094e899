#pragma once

#include <string>
#include <vector>

namespace quavert {

/// What the window's command line asks for.
struct WindowCommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action Do = Action::kRun;
  std::string File;   ///< the file to open at start; "" for the file opened last
  std::string Error;  ///< why the command line is not usable (kUsageError)
  bool operator==(const WindowCommandLine&) const = default;
};

/// Reads the arguments after the program name (those Qt takes for itself already removed):
/// --help or -h and --version win wherever they stand; otherwise at most one FILE, which may
/// follow "--" when its name starts with "-". Any other option is a usage error.
WindowCommandLine ParseWindowArguments(const std::vector<std::string>& args);

/// The text --help prints.
const char* WindowUsageText();

}  // namespace quavert
