#pragma once

#include <string>
#include <vector>

namespace quavert {

/// The FluidSynth library the program loads when it first plays or renders.
inline constexpr const char* kFluidSynthLibrary = "libfluidsynth.so.3";

/// Where the synthesizer takes its instruments from and where its sound goes.
struct FluidSetup {
  std::string SoundFont;  ///< the SoundFont to load; empty when none was found
  std::string AudioFile;  ///< a WAV file to write what is played to, at the pace of real time; empty for the sound card
  std::string Library = kFluidSynthLibrary;  ///< the FluidSynth library to load
  bool operator==(const FluidSetup&) const = default;
};

/// The General MIDI SoundFonts Debian installs, best first.
std::vector<std::string> InstalledSoundFonts();

/// `chosen` when it is given (even when no such file exists: the user named it), else the
/// first of `candidates` that exists; empty when there is none.
std::string FindSoundFont(const char* chosen, const std::vector<std::string>& candidates);

/// The setup the environment asks for: QUAVERT_SOUNDFONT names the SoundFont (else the first
/// installed one), QUAVERT_AUDIO_FILE, when set, sends the sound to that WAV file.
FluidSetup FluidSetupFromEnvironment();

}  // namespace quavert
