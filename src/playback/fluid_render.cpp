#include "playback/fluid_render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "common/file_system.h"
#include "common/run_error.h"
#include "common/wav_file.h"
#include "playback/fluid_library.h"
#include "timeline/midi_length.h"

namespace quavert {
namespace {

constexpr int kBlockFrames = 4096;
constexpr float kQuiet = 0.001f;        // 60 dB below full scale, where a reverberation counts as gone
constexpr double kQuietSeconds = 0.25;  // this long below it, and the tail has died away
constexpr double kLongestTail = 10;     // a note that never ends is cut off here

RenderResult Problem(RenderProblem problem, std::string message) { return {problem, std::move(message), 0}; }

// A MIDI file as the player takes it.
struct Song {
  std::string Bytes;          // its escape events hidden
  std::int64_t Ticks = 0;     // where its longest track ends
  std::int64_t Reached = 0;   // the last tick the player reached
  bool Ended = false;         // the player has reached the end
};

// The whole MIDI file, or the problem with it.
RenderResult ReadMidi(const std::string& path, Song& song) {
  std::string& bytes = song.Bytes;
  try {
    BinaryFile file(path, BinaryFile::Mode::kRead);
    const std::int64_t size = file.Length();
    if (size > kLargestPlayableFile) return Problem(RenderProblem::kNotMidi, path + " is too large for a MIDI file");
    ByteReader reader(file, 1, size);
    bytes = reader.Bytes(size);
    song.Ticks = MidiLengthInTicks(file);
    HideEscapes(bytes, EscapeEvents(file));
    song.Ended = song.Ticks == 0;
  } catch (const RunError& failure) {
    return Problem(RenderProblem::kMidiUnreadable, "cannot read " + path + " (" + failure.reason() + ")");
  } catch (const ReadPastLimit&) {
    return Problem(RenderProblem::kMidiUnreadable, "cannot read " + path + " (it shrank while it was read)");
  }
  if (bytes.compare(0, 4, "MThd") != 0) return Problem(RenderProblem::kNotMidi, path + " is not a MIDI file");
  return {};
}

// FluidSynth's objects for one render, deleted in the order they need.
struct Fluid {
  Fluid() = default;
  Fluid(const Fluid&) = delete;
  Fluid& operator=(const Fluid&) = delete;
  ~Fluid() {
    if (player != nullptr) functions->delete_fluid_player(player);
    if (synth != nullptr) functions->delete_fluid_synth(synth);
    if (settings != nullptr) functions->delete_fluid_settings(settings);
  }
  const FluidFunctions* functions = nullptr;  // set once the library is loaded, before any object exists
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
};

RenderResult StartSynth(Fluid& fluid, FluidLibrary& library, const std::string& sound_font, int rate) {
  if (sound_font.empty())
    return Problem(RenderProblem::kNoSoundFont,
                   "no SoundFont found: install one in /usr/share/sounds/sf2 or name one with --soundfont");
  if (!FileExists(sound_font)) return Problem(RenderProblem::kNoSoundFont, "SoundFont " + sound_font + " not found");
  fluid.functions = library.Functions();
  if (fluid.functions == nullptr)
    return Problem(RenderProblem::kSynthUnavailable, "FluidSynth could not be started (" + library.Problem() + ")");
  const FluidFunctions& f = *fluid.functions;
  SilenceFluidSynth(f);
  fluid.settings = f.new_fluid_settings();
  // The player keeps time by the samples rendered, not by the clock, and leaves the last
  // notes to die away when the song ends.
  if (fluid.settings == nullptr || f.fluid_settings_setnum(fluid.settings, "synth.sample-rate", rate) != FLUID_OK ||
      f.fluid_settings_setstr(fluid.settings, "player.timing-source", "sample") != FLUID_OK ||
      f.fluid_settings_setint(fluid.settings, "player.reset-synth", 0) != FLUID_OK ||
      (fluid.synth = f.new_fluid_synth(fluid.settings)) == nullptr)
    return Problem(RenderProblem::kSynthUnavailable, "FluidSynth could not be started");
  if (f.fluid_synth_sfload(fluid.synth, sound_font.c_str(), 1) == FLUID_FAILED)
    return Problem(RenderProblem::kSoundFontUnusable, "cannot load SoundFont " + sound_font);
  return {};
}

float Peak(const std::vector<float>& sound) {
  float peak = 0;
  for (const float sample : sound) peak = std::max(peak, std::fabs(sample));
  return peak;
}

// Called by the player at every tick it reaches.
int OnTick(void* data, int tick) {
  auto* song = static_cast<Song*>(data);
  song->Reached = tick;
  if (tick >= song->Ticks) song->Ended = true;
  return FLUID_OK;
}

// Renders the song and its tail into `wav`. FluidSynth's player goes on for seconds after the
// last event while voices linger unheard: the song ends at its last tick, and the tail when it
// can no longer be heard. A player that gives up before the end (FluidSynth refuses some files
// whole) is kSynthUnavailable, a WAV file that cannot hold it all kOutputUnwritable.
RenderProblem RenderSong(Fluid& fluid, const Song& song, WavWriter& wav, int rate) {
  const FluidFunctions& f = *fluid.functions;
  std::vector<float> sound(std::size_t{kBlockFrames} * kWavChannels);
  const auto render_block = [&] {
    f.fluid_synth_write_float(fluid.synth, kBlockFrames, sound.data(), 0, 2, sound.data(), 1, 2);
    return wav.Append(sound);
  };
  while (!song.Ended) {
    if (f.fluid_player_get_status(fluid.player) != FLUID_PLAYER_PLAYING) return RenderProblem::kSynthUnavailable;
    if (!render_block()) return RenderProblem::kOutputUnwritable;
  }
  const auto quiet_enough = static_cast<std::int64_t>(kQuietSeconds * rate);
  const auto longest_tail = static_cast<std::int64_t>(kLongestTail * rate);
  for (std::int64_t tail = 0, quiet = 0; tail < longest_tail && quiet < quiet_enough; tail += kBlockFrames) {
    if (!render_block()) return RenderProblem::kOutputUnwritable;
    quiet = Peak(sound) < kQuiet ? quiet + kBlockFrames : 0;
  }
  return RenderProblem::kNone;
}

}  // namespace

RenderResult RenderToWav(const std::string& midi_path, const std::string& wav_path, const std::string& sound_font,
                         int rate, const std::string& library) {
  Song song;
  if (RenderResult read = ReadMidi(midi_path, song); read.Problem != RenderProblem::kNone) return read;
  for (const std::string& read : {midi_path, sound_font})
    if (SameFile(read, wav_path)) return Problem(RenderProblem::kSameFile, "the WAV file would replace " + read);
  FluidLibrary loaded(library);
  Fluid fluid;
  if (RenderResult started = StartSynth(fluid, loaded, sound_font, rate); started.Problem != RenderProblem::kNone)
    return started;

  RenderResult result;
  bool created = false;
  try {
    WavWriter wav(wav_path, static_cast<std::uint32_t>(rate));
    created = true;
    const FluidFunctions& f = *fluid.functions;
    fluid.player = f.new_fluid_player(fluid.synth);
    if (fluid.player == nullptr || f.fluid_player_set_tick_callback(fluid.player, &OnTick, &song) != FLUID_OK ||
        f.fluid_player_add_mem(fluid.player, song.Bytes.data(), song.Bytes.size()) != FLUID_OK ||
        f.fluid_player_play(fluid.player) != FLUID_OK) {
      result = Problem(RenderProblem::kSynthUnavailable, "FluidSynth would not play " + midi_path);
    } else if (const RenderProblem problem = RenderSong(fluid, song, wav, rate); problem == RenderProblem::kNone) {
      result.Seconds = static_cast<double>(wav.Frames()) / rate;
    } else if (problem == RenderProblem::kSynthUnavailable) {
      result = Problem(problem, "FluidSynth cannot play " + midi_path + " (it stopped at tick " +
                                    std::to_string(song.Reached) + " of " + std::to_string(song.Ticks) + ")");
    } else {
      result = Problem(problem, "cannot write " + wav_path + " (the sound is longer than a WAV file can hold)");
    }
    wav.Close();
  } catch (const RunError& failure) {
    result = Problem(RenderProblem::kOutputUnwritable, "cannot write " + wav_path + " (" + failure.reason() + ")");
  }
  if (result.Problem != RenderProblem::kNone && created) {
    try {
      DeleteFile(wav_path);
    } catch (const RunError&) {
      // Gone already.
    }
  }
  return result;
}

}  // namespace quavert
