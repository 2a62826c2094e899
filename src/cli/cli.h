#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quavert::cli {

/// Runs quavert-cli on its arguments (without the program name). Messages and results go to
/// `out`, usage errors to `err`. Returns the exit status: 0 when every file loaded and the chosen
/// track decoded or the file rendered (and after --help or --version, which print the usage text
/// or the version to `out`), 1 when a load, that decode or the render failed, 2 for a usage error.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quavert::cli
