#include "shell/command_line.h"

namespace quavert {

WindowCommandLine ParseWindowArguments(const std::vector<std::string>& args) {
  WindowCommandLine command;
  std::vector<std::string> files;
  bool options_end = false;
  for (const std::string& arg : args) {
    if (!options_end && (arg == "--help" || arg == "-h")) return {WindowCommandLine::Action::kHelp, {}, {}};
    if (!options_end && arg == "--version") return {WindowCommandLine::Action::kVersion, {}, {}};
    if (!options_end && arg == "--") {
      options_end = true;
    } else if (!options_end && arg.size() > 1 && arg[0] == '-') {
      if (command.Error.empty()) command.Error = "unexpected argument '" + arg + "'";
    } else {
      files.push_back(arg);
    }
  }
  if (command.Error.empty() && files.size() > 1) command.Error = "only one FILE can be opened";
  if (!command.Error.empty()) {
    command.Do = WindowCommandLine::Action::kUsageError;
    return command;
  }
  if (!files.empty()) command.File = files.front();
  return command;
}

const char* WindowUsageText() {
  return "usage: quavert [FILE]\n"
         "       quavert --help | --version\n"
         "Opens FILE, a Standard MIDI File, in the editor; without FILE, the file opened last.\n"
         "  --help     print this text and exit\n"
         "  --version  print the version and exit\n";
}

}  // namespace quavert
