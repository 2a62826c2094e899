#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "editing/cell_edit.h"
#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "playback/fluid_media_service.h"
#include "playback/media_commands.h"
#include "playback/media_errors.h"
#include "playback/playback_actions.h"
#include "sound_fixtures.h"
#include "support/session_fixture.h"
#include "writing/save_track.h"

namespace quavert {
namespace {

using namespace std::chrono_literals;
using testing::NoteSequence;
using testing::ReadFileBytes;
using testing::WavRms;
using testing::WriteFileBytes;

constexpr const char* kPosition = "Status REDevid1 position";
constexpr const char* kMode = "Status REDevid1 mode";
constexpr double kAudible = 0.001;
constexpr double kSilent = 0.0005;

// Waits, patiently (the machine may be busy), until `condition` holds; false when it never does.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto give_up = std::chrono::steady_clock::now() + 15s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(FluidSetupTest, TheUsersSoundFontWinsElseTheFirstInstalledOne) {
  testing::TempFolder folder;
  WriteFileBytes(folder.Join("second.sf2"), "x");
  const std::vector<std::string> candidates{folder.Join("first.sf2"), folder.Join("second.sf2")};
  EXPECT_EQ((std::vector<std::string>{FindSoundFont(nullptr, candidates), FindSoundFont("", candidates),
                                      FindSoundFont("/nowhere/mine.sf2", candidates),  // named, so taken
                                      FindSoundFont(nullptr, {folder.Join("first.sf2")})}),
            (std::vector<std::string>{folder.Join("second.sf2"), folder.Join("second.sf2"), "/nowhere/mine.sf2", ""}));
}

class FluidMediaServiceTest : public testing::SessionTest {
 protected:
  FluidMediaServiceTest() { WriteFileBytes(SoundFont(), testing::SineSoundFont()); }

  std::string SoundFont() const { return user.Join("sine.sf2"); }
  std::string Wav() const { return user.Join("heard.wav"); }
  FluidSetup ToFile() const { return {SoundFont(), Wav()}; }

  static int Send(MediaService& service, const std::string& command) {
    std::string reply;
    return service.SendString(command, reply);
  }
  static int Open(MediaService& service, const std::string& path) {
    return Send(service, "Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 1073741824 notify");
  }
  // The answer to a query that must succeed.
  static std::string Ask(MediaService& service, const std::string& command) {
    std::string reply;
    EXPECT_EQ(service.SendString(command, reply), kMediaOk) << command;
    return reply;
  }
  static std::int64_t Position(MediaService& service) { return std::stoll(Ask(service, kPosition)); }
  static bool Stops(MediaService& service) {
    return WaitFor([&] { return Ask(service, kMode) == "stopped"; });
  }
  // Opens `bytes` as `name`, plays it from 0 to `to` until it stops, and closes it: where it stopped.
  std::int64_t PlayThrough(MediaService& service, const std::string& name, const std::string& bytes, int to) {
    EXPECT_EQ(Open(service, UserFile(name, bytes)), kMediaOk) << name;
    EXPECT_EQ(Send(service, "Play REDevid1 from 0 to " + std::to_string(to)), kMediaOk) << name;
    EXPECT_TRUE(Stops(service)) << name;
    const std::int64_t stopped_at = Position(service);
    EXPECT_EQ(Send(service, "Close REDevid1"), kMediaOk) << name;
    return stopped_at;
  }
};

// Then, on the same device: a part of the file, a Play taking over another, Stop back at 0, and
// what the device refuses, which changes nothing.
TEST_F(FluidMediaServiceTest, PlaysPausesResumesFromThePauseStopsAtTheEndAndRefusesWhatItCannotDo) {
  // The environment names the SoundFont and sends the sound to a WAV file, as on a machine without sound.
  ::setenv("QUAVERT_SOUNDFONT", SoundFont().c_str(), 1);
  ::setenv("QUAVERT_AUDIO_FILE", Wav().c_str(), 1);
  {
    FluidMediaService service(FluidSetupFromEnvironment());
    ::unsetenv("QUAVERT_SOUNDFONT");
    ::unsetenv("QUAVERT_AUDIO_FILE");
    std::vector<std::string> modes;
    const auto then = [&](int code) {
      EXPECT_EQ(code, kMediaOk);
      modes.push_back(Ask(service, kMode));
    };
    then(Open(service, UserFile("my song.mid", NoteSequence(8, 240))));  // two seconds
    EXPECT_EQ(Ask(service, "Set REDevid1 time format frames"), "");
    EXPECT_EQ(Ask(service, "Status REDevid1 length"), "1920");
    const auto started = std::chrono::steady_clock::now();
    then(Send(service, "Play REDevid1 from 0 to 1920 notify"));
    ASSERT_TRUE(WaitFor([&] { return Position(service) > 480; }));
    then(Send(service, "Pause REDevid1 notify"));
    const std::int64_t paused_at = Position(service);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Position(service), paused_at);
    then(Send(service, "Play REDevid1 from " + std::to_string(paused_at) + " to 1920 notify"));
    std::int64_t lowest = paused_at;
    EXPECT_TRUE(WaitFor([&] { return (lowest = std::min(lowest, Position(service))), Position(service) > paused_at + 48; }));
    EXPECT_EQ(lowest, paused_at) << "resumed from an earlier place";
    ASSERT_TRUE(Stops(service));
    // Two seconds of music take two seconds, less what was heard before the pause was asked for.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1800ms);
    EXPECT_EQ(Position(service), 1920);
    EXPECT_EQ(modes, (std::vector<std::string>{"stopped", "playing", "paused", "playing"}));

    ASSERT_EQ(Send(service, "Play REDevid1 from 1700 to 1800 notify"), kMediaOk);
    ASSERT_TRUE(Stops(service));
    EXPECT_EQ(Position(service), 1800);
    ASSERT_EQ(Send(service, "Play REDevid1 from 960 to 1920 notify"), kMediaOk);
    ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 1920 notify"), kMediaOk);  // takes over
    EXPECT_LT(Position(service), 960);
    ASSERT_EQ(Send(service, "Stop REDevid1 notify"), kMediaOk);
    for (const auto& [command, code] : std::initializer_list<std::pair<std::string, int>>{
             {"Play REDevid1 from 1921 to 1920", kOutOfRange}, {"Play REDevid1 from -1 to 1920", kOutOfRange},
             {"Play REDevid1 from 900 to 800", kOutOfRange}, {"Play REDevid1 from x to 1920", kBadNumber},
             {"Set REDevid1 time format milliseconds", kUnknownWord}, {"Status REDevid1", kUnknownWord},
             {"Status Other mode", kDeviceNotOpen}, {"", kUnknownCommand}, {"Open " + user.Join("x.mid"), kDeviceAlreadyOpen}}) {
      EXPECT_EQ(Send(service, command), code) << command;
      EXPECT_EQ(Ask(service, kMode) + " " + Ask(service, kPosition), "stopped 0") << command;
    }
    EXPECT_EQ(Ask(service, "status redevid1 LENGTH"), "1920");
    EXPECT_EQ(Send(service, "Close REDevid1 notify"), kMediaOk);
    EXPECT_EQ(Send(service, kMode), kDeviceNotOpen);
  }
  EXPECT_GT(WavRms(ReadFileBytes(Wav())), kAudible);
}

TEST_F(FluidMediaServiceTest, OpenSaysWhatIsMissingAndNothingThenPlays) {
  const std::string song = UserFile("song.mid", NoteSequence(1, 96));
  WriteFileBytes(user.Join("broken.sf2"), "RIFF this is no SoundFont");
  const std::pair<FluidSetup, int> setups[] = {
      {{"", Wav()}, kNoSoundFont},
      {{user.Join("none.sf2"), Wav()}, kNoSoundFont},
      {{user.Join("broken.sf2"), Wav()}, kSoundFontUnusable},
      {{SoundFont(), user.Join("no folder/out.wav")}, kNoAudioOutput},
  };
  for (const auto& [setup, code] : setups) {
    FluidMediaService service(setup);
    EXPECT_EQ(Open(service, song), code) << setup.SoundFont << " " << setup.AudioFile;
    EXPECT_EQ(service.ErrorText(code), MediaErrorText(code));
    EXPECT_NE(MediaErrorText(code), "");
    EXPECT_EQ(Send(service, "Play REDevid1 from 0 to 96 notify"), code);
  }
  FluidMediaService service(ToFile());
  EXPECT_EQ(Open(service, user.Join("missing.mid")), kFileMissing);
  EXPECT_EQ(Open(service, user.Path()), kFileMissing);
  const std::string huge = UserFile("huge.mid", NoteSequence(1, 96));
  std::filesystem::resize_file(huge, std::uintmax_t{65} << 20);  // sparse: costs no disk
  EXPECT_EQ(Open(service, huge), kFileTooLarge);
  EXPECT_EQ(Open(service, song), kMediaOk);
}

TEST_F(FluidMediaServiceTest, DamagedFilesEndAtOnceAndNoFileInheritsAnothersSettings) {
  FluidMediaService service(ToFile());
  // One note, then a message that has no place in a file: the synthesizer refuses the file.
  PlayThrough(service, "damaged.mid", testing::Smf(0, 480, {testing::Hex("00 90 3C 64  83 60 80 3C 00  00 F2 00 00  00 FF 2F 00")}), 480);
  ASSERT_EQ(Open(service, UserFile("notes.txt", "no MIDI here")), kMediaOk);
  EXPECT_EQ(Ask(service, "Status REDevid1 length"), "0");
  EXPECT_EQ(Send(service, "Play REDevid1 from 0 to 1 notify"), kOutOfRange);
  ASSERT_EQ(Send(service, "Close REDevid1"), kMediaOk);

  // Channel volume 0 before the notes: nothing of this file may be heard, also after a resume,
  // and the next file, which sets no volume, must not inherit the silence.
  ASSERT_EQ(Open(service, UserFile("quiet.mid", testing::Smf(0, 480, {testing::Hex(
                                                    "00 B0 07 00  00 90 3C 64  83 60 80 3C 00  00 FF 2F 00")}))),
            kMediaOk);
  ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 480"), kMediaOk);
  ASSERT_TRUE(WaitFor([&] { return Position(service) > 240; }));
  ASSERT_EQ(Send(service, "Pause REDevid1"), kMediaOk);
  ASSERT_EQ(Send(service, "Play REDevid1 from " + Ask(service, kPosition) + " to 480"), kMediaOk);
  ASSERT_TRUE(Stops(service));
  ASSERT_EQ(Send(service, "Close REDevid1"), kMediaOk);
  EXPECT_LT(WavRms(ReadFileBytes(Wav())), kSilent);
  EXPECT_EQ(PlayThrough(service, "short.mid", NoteSequence(1, 240), 240), 240);
  EXPECT_GT(WavRms(ReadFileBytes(Wav())), kAudible);
}

// ALSA's null device takes sound where there is no sound card, so FluidSynth's own audio thread
// drives the player here as it does on a desktop. ALSA reads its settings once, from HOME.
TEST_F(FluidMediaServiceTest, TheSoundCardPlaysFromFluidSynthsAudioThread) {
  WriteFileBytes(user.Join(".asoundrc"), "pcm.!default { type null }\n");
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  ::setenv("HOME", user.Path().c_str(), 1);
  FluidMediaService service({SoundFont(), ""});
  const int opened = Open(service, UserFile("quarter.mid", NoteSequence(1, 240)));
  ::setenv("HOME", home.c_str(), 1);
  ASSERT_EQ(opened, kMediaOk) << MediaErrorText(opened);
  ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 240 notify"), kMediaOk);
  ASSERT_TRUE(Stops(service));
}

// What is played after "Save Track" is the saved working copy: saved as it was, the song sounds;
// saved with its notes at velocity 0 it is silent, though the file the user opened still sounds.
TEST_F(FluidMediaServiceTest, PlayAfterSaveTrackPlaysTheSavedWorkingCopy) {
  auto heard_after_saving = [&](const std::string& velocity) {
    {
      FluidMediaService service(ToFile());
      Session playing(app.Path(), ui, service);
      OpenMidiFile(playing, UserFile("song.mid", NoteSequence(2, 240)));
      Command1Click(playing);
      if (!velocity.empty())
        for (const std::int64_t note_on : {1, 3}) CellEditDone(playing, note_on, 2, "100", velocity);
      ui.ClearLog();
      SaveTrackCommand(playing);
      EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
      PlayAction(playing);
      EXPECT_TRUE(playing.player.Playing);
      EXPECT_TRUE(WaitFor([&] {
        Timer1Tick(playing);
        return !playing.player.Playing;
      })) << "the poll never saw the end";
      EXPECT_FALSE(ui.IsEnabled(Control::mnuPause) || ui.IsEnabled(Control::mnuStop));
      MciClose(playing, kDeviceAlias);
    }
    return WavRms(ReadFileBytes(Wav()));
  };
  EXPECT_GT(heard_after_saving(""), kAudible);
  EXPECT_LT(heard_after_saving("0"), kSilent);
  EXPECT_EQ(ReadFileBytes(user.Join("song.mid")), NoteSequence(2, 240));
}

}  // namespace
}  // namespace quavert
