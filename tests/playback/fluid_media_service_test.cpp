#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/media_errors.h"
#include "commands/cell_edit.h"
#include "commands/event_list.h"
#include "commands/load_driver.h"
#include "commands/media_commands.h"
#include "commands/playback_actions.h"
#include "commands/save_track.h"
#include "common/file_system.h"
#include "playback/fluid_media_service.h"
#include "support/midi_bytes.h"
#include "support/session_fixture.h"
#include "support/sound_files.h"

namespace quavert {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::Hex;
using testing::ReadFileBytes;
using testing::SineSoundFont;
using testing::Smf;
using testing::ReadWavFacts;
using testing::WavRms;
using testing::Vlq;

// A format-0 file at 120 beats per minute and 480 ticks per quarter (960 ticks a second)
// playing `notes` notes of `ticks_each` ticks one after the other.
std::string NoteSequence(int notes, int ticks_each) {
  Bytes track;
  for (int i = 0; i < notes; ++i) {
    const char key = static_cast<char>(60 + 2 * (i % 6));
    track += Hex("00 90") + key + Hex("64") + Vlq(static_cast<std::uint32_t>(ticks_each)) + Hex("80") + key + Hex("00");
  }
  return Smf(0, 480, {track + Hex("00 FF 2F 00")});
}

constexpr const char* kPosition = "Status REDevid1 position";
constexpr const char* kMode = "Status REDevid1 mode";
constexpr double kAudible = 0.001;
constexpr double kSilent = 0.0005;

// Waits, patiently (the machine may be busy), until `condition` holds; false when it never does.
bool WaitFor(const std::function<bool()>& condition) {
  for (const auto give_up = std::chrono::steady_clock::now() + 15s; !condition(); std::this_thread::sleep_for(10ms))
    if (std::chrono::steady_clock::now() > give_up) return false;
  return true;
}

// The FluidSynth service, spoken to in command strings as the program speaks to it.
struct Device {
  explicit Device(const FluidSetup& setup) : service(setup) {}
  int Send(const std::string& command) {
    std::string reply;
    return service.SendString(command, reply);
  }
  // The answer to a query that must succeed.
  std::string Ask(const std::string& command) {
    std::string reply;
    EXPECT_EQ(service.SendString(command, reply), kMediaOk) << command;
    return reply;
  }
  int Open(const std::string& path) {
    return Send("Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 1073741824 notify");
  }
  std::int64_t Position() { return std::stoll(Ask(kPosition)); }
  bool Stops() { return WaitFor([&] { return Ask(kMode) == "stopped"; }); }
  // Plays the open file from 0 to `to` until it stops, and closes it: where it stopped.
  std::int64_t PlayThrough(int to) {
    EXPECT_EQ(Send("Play REDevid1 from 0 to " + std::to_string(to)), kMediaOk);
    EXPECT_TRUE(Stops());
    const std::int64_t stopped_at = Position();
    EXPECT_EQ(Send("Close REDevid1"), kMediaOk);
    return stopped_at;
  }
  FluidMediaService service;
};

TEST(FluidSetupTest, TheUsersSoundFontWinsElseTheFirstInstalledOne) {
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.Join("second.sf2"), "x");
  const std::vector<std::string> installed{folder.Join("first.sf2"), folder.Join("second.sf2")};
  EXPECT_EQ((std::vector<std::string>{FindSoundFont(nullptr, installed), FindSoundFont("", installed),
                                      FindSoundFont("/nowhere/mine.sf2", installed),  // named, so taken
                                      FindSoundFont(nullptr, {folder.Join("first.sf2")})}),
            (std::vector<std::string>{folder.Join("second.sf2"), folder.Join("second.sf2"), "/nowhere/mine.sf2", ""}));
}

class FluidMediaServiceTest : public testing::SessionTest {
 protected:
  FluidMediaServiceTest() { testing::WriteFileBytes(SoundFont(), SineSoundFont()); }
  std::string SoundFont() const { return user.Join("sine.sf2"); }
  std::string Wav() const { return user.Join("heard.wav"); }
  double Heard() const { return WavRms(ReadFileBytes(Wav())); }
};

// The audio file is a WAV file at every moment, and takes only what is played: two seconds of
// music paused half-way make two seconds of sound, however long the device stays open. Then, on
// the same device: a Play taking over another, Stop back at 0, and what the device refuses, which
// changes nothing.
TEST_F(FluidMediaServiceTest, PlaysPausesResumesFromThePauseStopsAtTheEndAndRefusesWhatItCannotDo) {
  // The environment names the SoundFont and sends the sound to a WAV file, as on a machine without sound.
  ::setenv("QUAVERT_SOUNDFONT", SoundFont().c_str(), 1);
  ::setenv("QUAVERT_AUDIO_FILE", Wav().c_str(), 1);
  {
    Device device(FluidSetupFromEnvironment());
    ::unsetenv("QUAVERT_SOUNDFONT");
    ::unsetenv("QUAVERT_AUDIO_FILE");
    std::vector<std::string> modes;
    const auto then = [&](int code) {
      EXPECT_EQ(code, kMediaOk);
      modes.push_back(device.Ask(kMode));
    };
    // Facts of the file as it stands; a header that counts more than is there is a broken file.
    const auto facts = [&] {
      const std::string wav = ReadFileBytes(Wav());
      const testing::WavFacts read = ReadWavFacts(wav);
      EXPECT_TRUE(read.Valid && read.Channels == 2 && read.Rate == 44100);
      EXPECT_EQ(read.RiffEnd, read.DataEnd);
      EXPECT_LE(read.DataEnd, static_cast<std::int64_t>(wav.size()));
      return read;
    };
    const auto frames_after = [&](std::chrono::milliseconds wait) {
      std::this_thread::sleep_for(wait);
      return facts().Frames;
    };
    then(device.Open(UserFile("my song.mid", NoteSequence(8, 240))));  // two seconds
    EXPECT_EQ(frames_after(150ms), 0) << "written while idle";
    EXPECT_EQ(device.Ask("Set REDevid1 time format frames") + device.Ask("Status REDevid1 length"), "1920");
    const auto started = std::chrono::steady_clock::now();
    then(device.Send("Play REDevid1 from 0 to 1920 notify"));
    std::vector<std::int64_t> growing;
    while (device.Position() < 960 && growing.size() < 1000) growing.push_back(frames_after(20ms));
    EXPECT_TRUE(std::is_sorted(growing.begin(), growing.end()));
    EXPECT_GT(growing.back(), growing.front());
    then(device.Send("Pause REDevid1 notify"));
    const std::int64_t paused_at = device.Position();
    const std::int64_t paused = frames_after(50ms);
    EXPECT_EQ(frames_after(200ms), paused) << "written while paused";
    EXPECT_EQ(device.Position(), paused_at);
    then(device.Send("Play REDevid1 from " + std::to_string(paused_at) + " to 1920 notify"));
    EXPECT_GE(device.Position(), paused_at) << "resumed from an earlier place";
    ASSERT_TRUE(device.Stops());
    // Two seconds of music take two seconds, less what was heard before the pause was asked for.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1800ms);
    EXPECT_EQ(device.Position(), 1920);
    EXPECT_EQ(modes, (std::vector<std::string>{"stopped", "playing", "paused", "playing"}));
    EXPECT_NEAR(facts().Seconds(), 2.0, 0.1);
    EXPECT_EQ(frames_after(200ms), facts().Frames) << "written after the end";

    ASSERT_EQ(device.Send("Play REDevid1 from 960 to 1920 notify"), kMediaOk);
    ASSERT_EQ(device.Send("Play REDevid1 from 0 to 1920 notify"), kMediaOk);  // takes over
    EXPECT_LT(device.Position(), 960);
    ASSERT_EQ(device.Send("Stop REDevid1 notify"), kMediaOk);
    for (const auto& [command, code] : std::initializer_list<std::pair<std::string, int>>{
             {"Play REDevid1 from 1921 to 1920", kOutOfRange}, {"Play REDevid1 from -1 to 1920", kOutOfRange},
             {"Play REDevid1 from 900 to 800", kOutOfRange}, {"Play REDevid1 from x to 1920", kBadNumber},
             {"Set REDevid1 time format milliseconds", kUnknownWord}, {"Status REDevid1", kUnknownWord},
             {"Status Other mode", kDeviceNotOpen}, {"", kUnknownCommand}, {"Open " + user.Join("x.mid"), kDeviceAlreadyOpen}}) {
      EXPECT_EQ(device.Send(command), code) << command;
      EXPECT_EQ(device.Ask(kMode) + " " + device.Ask(kPosition), "stopped 0") << command;
    }
    EXPECT_EQ(device.Ask("status redevid1 LENGTH"), "1920");
    EXPECT_EQ(device.Send("Close REDevid1 notify"), kMediaOk);
    EXPECT_EQ(device.Send(kMode), kDeviceNotOpen);
    EXPECT_EQ(facts().DataEnd, static_cast<std::int64_t>(ReadFileBytes(Wav()).size()));
  }
  EXPECT_GT(Heard(), kAudible);
}

// The player takes a seek with its next block: the place it reports afterwards is the one asked
// for plus no more than the music of the time that went by (960 ticks a second here), one block
// of 64 frames (a tick and a half), and the sound the audio file's thread still owed when the
// seek came, which it renders in a burst (it wakes every 10 ms; 50 ms allowed on a busy machine).
TEST_F(FluidMediaServiceTest, SeekMovesThePlaceWhilePlayingAndWhereAPausedPlayResumes) {
  Device device({SoundFont(), Wav()});
  ASSERT_EQ(device.Open(UserFile("song.mid", NoteSequence(8, 240))), kMediaOk);  // 1920 ticks
  EXPECT_EQ(device.Send("Seek REDevid1 to 700"), kMediaOk);
  EXPECT_EQ(device.Ask(kMode) + " " + device.Ask(kPosition), "stopped 700");
  for (const auto& [command, code] : std::initializer_list<std::pair<std::string, int>>{
           {"Seek REDevid1 to 1921", kOutOfRange}, {"Seek REDevid1 to -1", kOutOfRange},
           {"Seek REDevid1 to x", kBadNumber}, {"Seek REDevid1 700", kUnknownWord},
           {"Seek REDevid1 to 5 now", kUnknownWord}, {"Seek Other to 5", kDeviceNotOpen}}) {
    EXPECT_EQ(device.Send(command), code) << command;
    EXPECT_EQ(device.Ask(kPosition), "700") << command;
  }

  ASSERT_EQ(device.Send("Play REDevid1 from 0 to 1920 notify"), kMediaOk);
  ASSERT_TRUE(WaitFor([&] { return device.Position() > 100; }));
  for (const std::int64_t target : {1440, 240}) {  // forwards, then back
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_EQ(device.Send("seek redevid1 TO " + std::to_string(target)), kMediaOk);
    EXPECT_EQ(device.Position(), target);
    std::int64_t landed = target;
    ASSERT_TRUE(WaitFor([&] { return (landed = device.Position()) != target; }));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    EXPECT_GE(landed, target);
    EXPECT_LE(static_cast<double>(landed), static_cast<double>(target) + (seconds + 0.05) * 960 + 1.5) << seconds;
    EXPECT_EQ(device.Ask(kMode), "playing");
  }
  ASSERT_EQ(device.Send("Pause REDevid1"), kMediaOk);
  ASSERT_EQ(device.Send("Seek REDevid1 to 1800"), kMediaOk);
  EXPECT_EQ(device.Ask(kMode) + " " + device.Ask(kPosition), "paused 1800");
  ASSERT_EQ(device.Send("Play REDevid1 from 1800 to 1920"), kMediaOk);
  EXPECT_TRUE(device.Stops());
  EXPECT_EQ(device.Position(), 1920);
}

TEST_F(FluidMediaServiceTest, OpenSaysWhatIsMissingAndDamagedFilesEndAtOnce) {
  const std::string song = UserFile("song.mid", NoteSequence(1, 96));
  testing::WriteFileBytes(user.Join("broken.sf2"), "RIFF this is no SoundFont");
  const std::pair<FluidSetup, int> setups[] = {{{"", Wav()}, kNoSoundFont}, {{user.Join("none.sf2"), Wav()}, kNoSoundFont},
                                                {{user.Join("broken.sf2"), Wav()}, kSoundFontUnusable},
                                                {{SoundFont(), user.Join("no folder/out.wav")}, kNoAudioOutput}};
  for (const auto& [setup, code] : setups) {
    Device device(setup);
    EXPECT_EQ(device.Open(song), code) << setup.SoundFont << " " << setup.AudioFile;
    EXPECT_EQ(device.service.ErrorText(code), MediaErrorText(code));
    EXPECT_NE(MediaErrorText(code), "");
    EXPECT_EQ(device.Send("Play REDevid1 from 0 to 96 notify"), code);
  }
  // What cannot be opened; a file that is no MIDI file opens but has no length to play; a file
  // the synthesizer refuses part-way (a message no file may hold after its note) ends at once.
  Device device({SoundFont(), Wav()});
  const std::string huge = UserFile("huge.mid", NoteSequence(1, 96));
  std::filesystem::resize_file(huge, std::uintmax_t{65} << 20);  // sparse: costs no disk
  const std::string text = UserFile("notes.txt", "no MIDI here");
  EXPECT_EQ((std::vector<int>{device.Open(user.Join("missing.mid")), device.Open(user.Path()), device.Open(huge), device.Open(text)}),
            (std::vector<int>{kFileMissing, kFileMissing, kFileTooLarge, kMediaOk}));
  EXPECT_EQ(device.Ask("Status REDevid1 length"), "0");
  EXPECT_EQ(device.Send("Play REDevid1 from 0 to 1 notify"), kOutOfRange);
  ASSERT_EQ(device.Send("Close REDevid1"), kMediaOk);
  ASSERT_EQ(device.Open(UserFile("damaged.mid", Smf(0, 480, {Hex("00 90 3C 64  83 60 80 3C 00  00 F2 00 00  00 FF 2F 00")}))), kMediaOk);
  device.PlayThrough(480);
}

// Without FluidSynth's library, or with a library that lacks its functions, no device opens, the
// error names the library and no audio file is made.
TEST_F(FluidMediaServiceTest, AMissingLibraryRefusesEveryOpenAndIsNamed) {
  const std::string song = UserFile("song.mid", NoteSequence(1, 96));
  for (const std::string library : {"libquavert-no-such-library.so.3", "libm.so.6"}) {
    Device device({SoundFont(), Wav(), library});
    EXPECT_EQ((std::vector<int>{device.Open(song), device.Open(song), device.Send("Play REDevid1 from 0 to 96")}),
              (std::vector<int>{kSynthUnavailable, kSynthUnavailable, kSynthUnavailable}))
        << library;
    const std::string text = device.service.ErrorText(kSynthUnavailable);
    EXPECT_EQ(text.rfind("The synthesizer could not be started: ", 0), 0u) << text;
    EXPECT_NE(text.find(library), std::string::npos) << text;
  }
  EXPECT_FALSE(FileExists(Wav()));
}

// FluidSynth refuses a whole file for an event that begins with F7, a system exclusive packet
// among them: the device hides those from it, and the rest plays.
TEST_F(FluidMediaServiceTest, AFileWithSystemExclusivePacketsPlays) {
  {
    Device device({SoundFont(), Wav()});
    ASSERT_EQ(device.Open(UserFile("packets.mid", Smf(0, 480, {Hex("00 F0 03 7E 7F 09  00 F7 02 01 F7  00 90 3C 64"
                                                                   "  83 60 80 3C 00  00 FF 2F 00")}))),
              kMediaOk);
    EXPECT_EQ(device.PlayThrough(480), 480);
  }
  EXPECT_GT(Heard(), kAudible);
}

// ALSA's null device takes sound where there is no sound card, so FluidSynth's own audio thread
// drives the player here as it does on a desktop. ALSA reads its settings once, from HOME.
TEST_F(FluidMediaServiceTest, TheSoundCardPlaysFromFluidSynthsAudioThread) {
  testing::WriteFileBytes(user.Join(".asoundrc"), "pcm.!default { type null }\n");
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", user.Path().c_str(), 1);
  Device device({SoundFont(), ""});
  const int opened = device.Open(UserFile("quarter.mid", NoteSequence(1, 240)));
  ::setenv("HOME", home.c_str(), 1);
  ASSERT_EQ(opened, kMediaOk) << MediaErrorText(opened);
  EXPECT_EQ(device.PlayThrough(240), 240);
}

// What is played after "Save Track" is the saved working copy: saved as it was, the song sounds;
// saved with its notes at velocity 0 it is silent, though the file the user opened still sounds.
TEST_F(FluidMediaServiceTest, PlayAfterSaveTrackPlaysTheSavedWorkingCopy) {
  auto heard_after_saving = [&](const std::string& velocity) {
    {
      FluidMediaService service({SoundFont(), Wav()});
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
      EXPECT_TRUE(WaitFor([&] { return Timer1Tick(playing), !playing.player.Playing; })) << "the poll never saw the end";
      EXPECT_FALSE(ui.IsEnabled(Control::mnuPause) || ui.IsEnabled(Control::mnuStop));
      MciClose(playing, kDeviceAlias);
    }
    return Heard();
  };
  EXPECT_GT(heard_after_saving(""), kAudible);
  EXPECT_LT(heard_after_saving("0"), kSilent);
  EXPECT_EQ(ReadFileBytes(user.Join("song.mid")), NoteSequence(2, 240));
}

}  // namespace
}  // namespace quavert
