#include <cstdlib>
#include <iomanip>
#include <locale>
#include <sstream>

#include "cli/companion.h"
#include "playback/fluid_render.h"
#include "playback/fluid_setup.h"

namespace quavert::cli {

int Render(const Options& options, std::ostream& out, std::ostream& err) {
  const char* chosen = options.SoundFont.empty() ? std::getenv("QUAVERT_SOUNDFONT") : options.SoundFont.c_str();
  const RenderResult result = RenderToWav(options.Files[0], options.Out, FindSoundFont(chosen, InstalledSoundFonts()),
                                          static_cast<int>(options.Rate));
  if (result.Problem != RenderProblem::kNone) {
    err << "quavert-cli: " << result.Message << '\n';
    return 1;
  }
  std::ostringstream seconds;
  seconds.imbue(std::locale::classic());
  seconds << std::fixed << std::setprecision(1) << result.Seconds;
  out << "rendered: " << options.Out << ' ' << seconds.str() << " s\n";
  return 0;
}

}  // namespace quavert::cli
