#include "cli/companion.h"

namespace quavert::cli {

// A build without FluidSynth has nothing to render with.
int Render(const Options& /*options*/, std::ostream& /*out*/, std::ostream& err) {
  err << "quavert-cli: this build has no FluidSynth to render with\n";
  return 1;
}

}  // namespace quavert::cli
