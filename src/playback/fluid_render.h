#pragma once

#include <string>

#include "playback/fluid_setup.h"

namespace quavert {

/// Why a render wrote no usable sound.
enum class RenderProblem {
  kNone,
  kMidiUnreadable,     ///< the MIDI file cannot be read
  kNotMidi,            ///< it has no MIDI header, or is larger than any MIDI file the player takes
  kSameFile,           ///< the WAV file would replace the MIDI file or the SoundFont
  kNoSoundFont,        ///< none was named or installed, or the one named does not exist
  kSoundFontUnusable,  ///< FluidSynth cannot load it
  kOutputUnwritable,   ///< the WAV file cannot be created or written, or would grow past 4 GB
  kSynthUnavailable,   ///< FluidSynth could not be loaded or started, or would not play the file
};

/// What a render came to: the seconds of sound written, or the problem and a sentence saying it.
struct RenderResult {
  RenderProblem Problem = RenderProblem::kNone;
  std::string Message;
  double Seconds = 0;
};

/// Renders the MIDI file at `midi_path` through FluidSynth with `sound_font` into a 16-bit
/// stereo WAV file at `wav_path` with `rate` frames a second (8000 to 96000), as fast as the
/// machine allows, not at the pace of real time: the whole song, then the tail of its last notes
/// until the sound has died away (at most 10 seconds of it). Escape events (F7), for which
/// FluidSynth would refuse the whole file, are passed over. FluidSynth prints nothing. After a
/// problem no WAV file is left at `wav_path`, except that a problem found before the writing
/// starts leaves an existing file there as it was. FluidSynth is loaded from `library`.
RenderResult RenderToWav(const std::string& midi_path, const std::string& wav_path, const std::string& sound_font,
                         int rate, const std::string& library = kFluidSynthLibrary);

}  // namespace quavert
