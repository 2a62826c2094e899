#include <gtest/gtest.h>

#include <tuple>

#include "common/file_system.h"
#include "playback/fluid_render.h"
#include "support/midi_bytes.h"
#include "support/sound_files.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::Smf;

const testing::Bytes kEnd = Hex("00 FF 2F 00");

class FluidRenderTest : public ::testing::Test {
 protected:
  FluidRenderTest() { testing::WriteFileBytes(SoundFont(), testing::SineSoundFont()); }
  std::string SoundFont() const { return folder.Join("sine.sf2"); }
  testing::TempFolder folder;
};

// The sine has no release and no reverberation worth hearing, so the tail is the quarter second
// of quiet that ends it and less than a block of 4096 frames on either side: the WAV file lasts
// the song as FluidSynth times it by the samples rendered. A note that never ends is cut off
// 10 s after the song.
TEST_F(FluidRenderTest, TheWavFileLastsTheSongAndItsTailAtTheRateAsked) {
  testing::Bytes notes;  // eight notes of a quarter second each at 120 beats a minute: 2 s
  for (int key = 60; key < 68; ++key) notes += Hex("00 90") + char(key) + Hex("64 81 70 80") + char(key) + Hex("00");
  const std::tuple<std::string, testing::Bytes, int, double> cases[] = {
      {"eight notes", Smf(0, 480, {notes + kEnd}), 44100, 2.0},
      {"at 22050", Smf(0, 480, {notes + kEnd}), 22050, 2.0},
      // A quarter at 120 beats a minute, then two at 60 (0.5 s + 2 s); the note ends at tick 960.
      {"tempo change", Smf(1, 480, {Hex("83 60 FF 51 03 0F 42 40") + kEnd,
                                    Hex("00 90 3C 64 87 40 80 3C 00 83 60 FF 2F 00")}), 44100, 2.5},
      // System exclusive in two packets, which FluidSynth refuses unless the second is hidden.
      {"in packets", Smf(0, 480, {Hex("00 F0 03 7E 7F 09 00 F7 02 01 F7") + notes + kEnd}), 44100, 2.0},
      {"never released", Smf(0, 480, {Hex("00 90 3C 64 83 60") + Hex("FF 2F 00")}), 44100, 0.5 + 10},
  };
  for (const auto& [name, song, rate, seconds] : cases) {
    const std::string wav = folder.Join(name + ".wav");
    const RenderResult result = RenderToWav(folder.Write(name + ".mid", song), wav, SoundFont(), rate);
    ASSERT_EQ(result.Problem, RenderProblem::kNone) << name << ": " << result.Message;
    const std::string bytes = testing::ReadFileBytes(wav);
    const testing::WavFacts facts = testing::ReadWavFacts(bytes);
    EXPECT_TRUE(facts.Valid && facts.Channels == 2) << name;
    EXPECT_EQ(facts.Rate, static_cast<std::uint32_t>(rate)) << name;
    EXPECT_EQ(facts.DataEnd, static_cast<std::int64_t>(bytes.size())) << name;
    EXPECT_DOUBLE_EQ(result.Seconds, facts.Seconds()) << name;
    EXPECT_TRUE(result.Seconds >= seconds && result.Seconds < seconds + 0.5) << name << ": " << result.Seconds << " s";
    EXPECT_GT(testing::WavRms(bytes), 0.01) << name;
  }
}

// Nothing is written for what cannot be rendered, and a WAV file already there stays as it was
// unless the writing had begun.
TEST_F(FluidRenderTest, EachProblemIsNamedAndLeavesNoWavFile) {
  const std::string song = folder.Write("song.mid", Smf(0, 480, {Hex("00 90 3C 64 83 60 80 3C 00") + kEnd}));
  const std::string text = folder.Write("notes.txt", "no MIDI here");
  const std::string empty = folder.Write("empty.mid", "");
  // FluidSynth refuses the whole file for a message no file may hold.
  const std::string refused = folder.Write("refused.mid", Smf(0, 480, {Hex("00 90 3C 64 83 60 80 3C 00 00 F2 00 00") + kEnd}));
  const std::string broken_font = folder.Write("broken.sf2", "RIFF this is no SoundFont");
  const std::string old = folder.Join("old.wav");
  const std::tuple<std::string, std::string, std::string, RenderProblem> cases[] = {
      {folder.Join("missing.mid"), old, SoundFont(), RenderProblem::kMidiUnreadable},
      {folder.Path(), old, SoundFont(), RenderProblem::kMidiUnreadable},
      {text, old, SoundFont(), RenderProblem::kNotMidi},
      {empty, old, SoundFont(), RenderProblem::kNotMidi},
      {song, song, SoundFont(), RenderProblem::kSameFile},
      {song, SoundFont(), SoundFont(), RenderProblem::kSameFile},
      {song, old, "", RenderProblem::kNoSoundFont},
      {song, old, folder.Join("none.sf2"), RenderProblem::kNoSoundFont},
      {song, old, broken_font, RenderProblem::kSoundFontUnusable},
      {song, folder.Join("no folder/out.wav"), SoundFont(), RenderProblem::kOutputUnwritable},
      {refused, old, SoundFont(), RenderProblem::kSynthUnavailable},
  };
  for (const auto& [midi, wav, sound_font, problem] : cases) {
    testing::WriteFileBytes(old, "an older file");
    const RenderResult result = RenderToWav(midi, wav, sound_font, 44100);
    EXPECT_EQ(result.Problem, problem) << midi << " " << result.Message;
    EXPECT_NE(result.Message, "");
    if (problem == RenderProblem::kSynthUnavailable) {
      EXPECT_FALSE(FileExists(old)) << "a half-written file was left";
    } else {
      EXPECT_EQ(testing::ReadFileBytes(old), "an older file") << midi;
    }
  }
  EXPECT_EQ(testing::ReadFileBytes(song), Smf(0, 480, {Hex("00 90 3C 64 83 60 80 3C 00") + kEnd}));
  EXPECT_EQ(testing::ReadFileBytes(SoundFont()), testing::SineSoundFont());
}

// Without FluidSynth's library, or with a library that lacks its functions, the render stops
// before anything is written and says which library it could not use.
TEST_F(FluidRenderTest, AMissingLibraryIsNamedAndWritesNothing) {
  const std::string song = folder.Write("song.mid", Smf(0, 480, {Hex("00 90 3C 64 83 60 80 3C 00") + kEnd}));
  const std::string old = folder.Write("old.wav", "an older file");
  for (const std::string library : {"libquavert-no-such-library.so.3", "libm.so.6"}) {
    const RenderResult result = RenderToWav(song, old, SoundFont(), 44100, library);
    EXPECT_EQ(result.Problem, RenderProblem::kSynthUnavailable) << library;
    EXPECT_EQ(result.Message.rfind("FluidSynth could not be started (", 0), 0u) << result.Message;
    EXPECT_NE(result.Message.find(library), std::string::npos) << result.Message;
    EXPECT_EQ(testing::ReadFileBytes(old), "an older file") << library;
  }
}

}  // namespace
}  // namespace quavert
