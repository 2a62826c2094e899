#include "cli/cli.h"

#include "cli/companion.h"
#include "cli/options.h"

namespace quavert::cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto options = ParseOptions(args, error);
  if (!options) {
    err << "quavert-cli: " << error << '\n' << UsageText();
    return 2;
  }
  if (options->Command == "check") return Check(*options, out);
  if (options->Command == "list") return List(*options, out);
  if (options->Command == "report") return Report(*options, out);
  return Edit(*options, out, err);
}

}  // namespace quavert::cli
