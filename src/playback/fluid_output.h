#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "playback/fluid_library.h"

namespace quavert {

/// Where the synthesizer's sound goes while a media device is open, through the FluidSynth
/// functions it is given. Every block is rendered
/// with `render_lock` held, so that whoever holds it may change the synthesizer and its players
/// without racing the audio thread. Destroying the output stops its thread: never do that while
/// holding `render_lock`.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
};

/// The sound card through FluidSynth's default audio driver; nullptr when none can be opened
/// (a machine without sound has none).
std::unique_ptr<AudioOutput> OpenSoundCard(const FluidFunctions& fluid, fluid_settings_t* settings,
                                           fluid_synth_t* synth, std::mutex& render_lock);

/// Asked, with the render lock held, whether the sound of the next block is wanted.
using WantsSound = std::function<bool()>;

/// A 16-bit stereo WAV file written at the pace of real time, so that playback behaves as it
/// does on the sound card, but only while `wanted` says so: in between, the synthesizer rests and
/// the file does not grow. Its header counts the frames written after every write, so the file
/// is valid at any time. nullptr when the file cannot be created.
std::unique_ptr<AudioOutput> OpenAudioFile(const FluidFunctions& fluid, fluid_settings_t* settings,
                                           fluid_synth_t* synth, std::mutex& render_lock, const std::string& path,
                                           WantsSound wanted);

}  // namespace quavert
