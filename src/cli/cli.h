#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quavert::cli {

/// Runs quavert-cli on its arguments (without the program name). Messages and results go to
/// `out`, usage errors to `err`; "--help" alone prints the usage to `out`. Returns the exit
/// status: 0 when every file loaded and the chosen track decoded (or rendered), 1 when a load,
/// that decode or the render failed, 2 for a usage error.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quavert::cli
