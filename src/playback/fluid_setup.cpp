#include "playback/fluid_setup.h"

#include <cstdlib>

#include "common/file_system.h"

namespace quavert {

std::vector<std::string> InstalledSoundFonts() {
  return {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

std::string FindSoundFont(const char* chosen, const std::vector<std::string>& candidates) {
  if (chosen != nullptr && *chosen != '\0') return chosen;
  for (const std::string& candidate : candidates)
    if (FileExists(candidate)) return candidate;
  return {};
}

FluidSetup FluidSetupFromEnvironment() {
  FluidSetup setup;
  setup.SoundFont = FindSoundFont(std::getenv("QUAVERT_SOUNDFONT"), InstalledSoundFonts());
  if (const char* audio_file = std::getenv("QUAVERT_AUDIO_FILE")) setup.AudioFile = audio_file;
  return setup;
}

}  // namespace quavert
