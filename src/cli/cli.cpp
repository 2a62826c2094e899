#include "cli/cli.h"

#include "cli/companion.h"
#include "cli/options.h"
#include "common/run_error.h"

namespace quavert::cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto options = ParseOptions(args, error);
  if (!options) {
    err << "quavert-cli: " << error << '\n' << UsageText();
    return 2;
  }
  if (options->Command == "--help") {
    out << UsageText();
    return 0;
  }
  if (options->Command == "--version") {
    out << VersionText();
    return 0;
  }
  try {
    if (options->Command == "check") return Check(*options, out);
    if (options->Command == "list") return List(*options, out);
    if (options->Command == "report") return Report(*options, out);
    if (options->Command == "lint") return LintFiles(*options, out, err);
    if (options->Command == "render") return Render(*options, out, err);
    return Edit(*options, out, err);
  } catch (const RunError& failure) {
    // What the session does not catch itself: no private folder to work in, for one.
    err << "quavert-cli: " << failure.reason() << '\n';
    return 1;
  }
}

}  // namespace quavert::cli
