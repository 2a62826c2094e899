#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "playback/fluid_media_service.h"
#include "playback/media_commands.h"
#include "playback/media_errors.h"
#include "playback/playback_actions.h"
#include "sound_fixtures.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using namespace std::chrono_literals;
using testing::NoteSequence;
using testing::ReadFileBytes;
using testing::WriteFileBytes;
using Notices = std::vector<NotifyResult>;

constexpr const char* kLength = "Status REDevid1 length";
constexpr const char* kPosition = "Status REDevid1 position";
constexpr const char* kMode = "Status REDevid1 mode";

// Generous: the machine running the tests may be busy.
constexpr auto kPatience = 15s;

// The notifications of a service, which may come from its audio thread.
class NoticeLog {
 public:
  NotifyCallback Callback() {
    return [this](NotifyResult result) {
      const std::lock_guard<std::mutex> hold(mutex_);
      notices_.push_back(result);
    };
  }
  Notices Taken() {
    const std::lock_guard<std::mutex> hold(mutex_);
    return notices_;
  }

 private:
  std::mutex mutex_;
  Notices notices_;
};

template <typename Condition>
bool WaitFor(Condition condition) {
  const auto give_up = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

class FluidMediaServiceTest : public ::testing::Test {
 protected:
  FluidMediaServiceTest() {
    WriteFileBytes(SoundFont(), testing::SineSoundFont());
    WriteFileBytes(Song(), NoteSequence(8, 240));  // 1920 ticks, two seconds
  }

  std::string SoundFont() const { return folder.Join("sine.sf2"); }
  std::string Song() const { return folder.Join("song.mid"); }
  std::string Wav() const { return folder.Join("out.wav"); }
  FluidSetup ToFile() const { return {SoundFont(), Wav()}; }

  static std::string OpenCommand(const std::string& path) {
    return "Open " + CommandPath(path) + " type MPEGVideo Alias REDevid1 parent 1 Style 1073741824 notify";
  }
  static int Send(MediaService& service, const std::string& command) {
    std::string reply;
    return service.SendString(command, reply);
  }
  // The answer to a query that must succeed.
  static std::string Ask(MediaService& service, const std::string& command) {
    std::string reply;
    EXPECT_EQ(service.SendString(command, reply), kMediaOk) << command;
    return reply;
  }
  static std::int64_t Position(MediaService& service) { return std::stoll(Ask(service, kPosition)); }

  // Waits until playback has passed `tick`; fails when the position is ever seen below `floor`.
  static ::testing::AssertionResult PlaysOn(MediaService& service, std::int64_t floor, std::int64_t tick) {
    std::int64_t lowest = INT64_MAX;
    const bool passed = WaitFor([&] {
      const std::int64_t position = Position(service);
      lowest = std::min(lowest, position);
      return position > tick;
    });
    if (lowest < floor) return ::testing::AssertionFailure() << "went back to " << lowest;
    if (!passed) return ::testing::AssertionFailure() << "never passed " << tick;
    return ::testing::AssertionSuccess();
  }

  testing::TempFolder folder;
  NoticeLog log;
};

TEST_F(FluidMediaServiceTest, PlaysPausesResumesAndStopsAtTheEndInRealTime) {
  {
    FluidMediaService service(ToFile(), log.Callback());
    ASSERT_EQ(Send(service, OpenCommand(Song())), kMediaOk);
    EXPECT_EQ(Ask(service, "Set REDevid1 time format frames"), "");
    EXPECT_EQ(Ask(service, kLength), "1920");
    EXPECT_EQ(Ask(service, kMode), "stopped");

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 1920 notify"), kMediaOk);
    EXPECT_EQ(Ask(service, kMode), "playing");
    ASSERT_TRUE(PlaysOn(service, 0, 480));

    ASSERT_EQ(Send(service, "Pause REDevid1 notify"), kMediaOk);
    EXPECT_EQ(Ask(service, kMode), "paused");
    const std::int64_t paused_at = Position(service);
    EXPECT_LT(paused_at, 1920);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Position(service), paused_at);
    EXPECT_EQ(Ask(service, kMode), "paused");

    ASSERT_EQ(Send(service, "Play REDevid1 from " + std::to_string(paused_at) + " to 1920 notify"), kMediaOk);
    EXPECT_EQ(Ask(service, kMode), "playing");
    const std::int64_t resumed_at = Position(service);
    EXPECT_GE(resumed_at, paused_at);
    EXPECT_LT(resumed_at, 1920);
    EXPECT_TRUE(PlaysOn(service, paused_at, paused_at + 48));

    ASSERT_TRUE(WaitFor([&] { return Ask(service, kMode) == "stopped"; }));
    // Two seconds of music take two seconds, less what was heard before the pause was asked for.
    EXPECT_GE(std::chrono::steady_clock::now() - started, 1800ms);
    EXPECT_EQ(Position(service), 1920);
    EXPECT_EQ(log.Taken(), (Notices{NotifyResult::kSuccessful, NotifyResult::kAborted, NotifyResult::kSuccessful,
                                    NotifyResult::kSuccessful}));
    EXPECT_EQ(Send(service, "Close REDevid1 notify"), kMediaOk);
  }
  const double rms = testing::WavRms(ReadFileBytes(Wav()));
  EXPECT_GT(rms, 0.001);
}

TEST_F(FluidMediaServiceTest, StopGoesBackToTheStartAndANewPlayTakesOverTheOld) {
  FluidMediaService service(ToFile(), log.Callback());
  ASSERT_EQ(Send(service, OpenCommand(Song())), kMediaOk);
  ASSERT_EQ(Send(service, "Play REDevid1 from 960 to 1920 notify"), kMediaOk);
  EXPECT_TRUE(PlaysOn(service, 960, 990));
  ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 1920 notify"), kMediaOk);
  EXPECT_LT(Position(service), 960);
  EXPECT_EQ(Ask(service, kMode), "playing");
  ASSERT_EQ(Send(service, "Stop REDevid1 notify"), kMediaOk);
  EXPECT_EQ(Ask(service, kMode), "stopped");
  EXPECT_EQ(Position(service), 0);
  // Pausing what does not play changes nothing.
  ASSERT_EQ(Send(service, "Pause REDevid1 notify"), kMediaOk);
  EXPECT_EQ(Ask(service, kMode), "stopped");
  EXPECT_EQ(Send(service, "Close REDevid1 notify"), kMediaOk);
  EXPECT_EQ(Send(service, kMode), kDeviceNotOpen);
  EXPECT_EQ(log.Taken(),
            (Notices{NotifyResult::kSuccessful, NotifyResult::kSuperseded, NotifyResult::kAborted,
                     NotifyResult::kSuccessful, NotifyResult::kSuccessful, NotifyResult::kSuccessful}));
}

TEST_F(FluidMediaServiceTest, PlayStopsAtTheEndPositionItWasGiven) {
  FluidMediaService service(ToFile(), log.Callback());
  ASSERT_EQ(Send(service, OpenCommand(Song())), kMediaOk);
  ASSERT_EQ(Send(service, "Play REDevid1 from 1700 to 1800 notify"), kMediaOk);
  ASSERT_TRUE(WaitFor([&] { return Ask(service, kMode) == "stopped"; }));
  EXPECT_EQ(Position(service), 1800);
  // An empty stretch is played at once.
  ASSERT_EQ(Send(service, "Play REDevid1 from 1920 to 1920 notify"), kMediaOk);
  EXPECT_EQ(Ask(service, kMode), "stopped");
  EXPECT_EQ(Position(service), 1920);
  EXPECT_EQ(log.Taken(), (Notices{NotifyResult::kSuccessful, NotifyResult::kSuccessful, NotifyResult::kSuccessful}));
}

TEST_F(FluidMediaServiceTest, CommandsItCannotCarryOutChangeNothing) {
  FluidMediaService service(ToFile(), log.Callback());
  ASSERT_EQ(Send(service, OpenCommand(Song())), kMediaOk);
  const std::vector<std::pair<std::string, int>> refused = {
      {"Play REDevid1 from 1921 to 1920 notify", kOutOfRange},
      {"Play REDevid1 from -1 to 1920 notify", kOutOfRange},
      {"Play REDevid1 from 0 to -1 notify", kOutOfRange},
      {"Play REDevid1 from 0 to 1921 notify", kOutOfRange},
      {"Play REDevid1 from 900 to 800 notify", kOutOfRange},
      {"Play REDevid1 from x to 1920 notify", kBadNumber},
      {"Play REDevid1 from notify", kBadNumber},
      {"Play REDevid1 backwards", kUnknownWord},
      {"Set REDevid1 time format milliseconds", kUnknownWord},
      {"Status REDevid1 volume", kUnknownWord},
      {"Status REDevid1", kUnknownWord},
      {"Put REDevid1 window at 0 0 x 40 notify", kBadNumber},
      {"Put REDevid1 window 0 0 10 40 notify", kUnknownWord},
      {"Stop REDevid1 now", kUnknownWord},
      {"Status Other mode", kDeviceNotOpen},
      {"Jump REDevid1 notify", kUnknownCommand},
      {"", kUnknownCommand},
      {OpenCommand(Song()), kDeviceAlreadyOpen},
  };
  for (const auto& [command, code] : refused) {
    EXPECT_EQ(Send(service, command), code) << command;
    EXPECT_EQ(Ask(service, kMode), "stopped") << command;
    EXPECT_EQ(Position(service), 0) << command;
  }
  EXPECT_EQ(Ask(service, "status redevid1 LENGTH"), "1920");
  EXPECT_EQ(Send(service, "Put REDevid1 window at 0 0 320 40 notify"), kMediaOk);
  EXPECT_EQ(log.Taken(), (Notices{NotifyResult::kSuccessful, NotifyResult::kSuccessful}));
}

TEST_F(FluidMediaServiceTest, OpenSaysWhatIsMissing) {
  WriteFileBytes(folder.Join("broken.sf2"), "RIFF this is no SoundFont");
  const std::vector<std::pair<FluidSetup, int>> setups = {
      {{"", Wav()}, kNoSoundFont},
      {{folder.Join("none.sf2"), Wav()}, kNoSoundFont},
      {{folder.Join("broken.sf2"), Wav()}, kSoundFontUnusable},
      {{SoundFont(), folder.Join("no folder/out.wav")}, kNoAudioOutput},
  };
  for (const auto& [setup, code] : setups) {
    FluidMediaService service(setup, log.Callback());
    EXPECT_EQ(Send(service, OpenCommand(Song())), code) << setup.SoundFont << " " << setup.AudioFile;
    EXPECT_EQ(service.ErrorText(code), MediaErrorText(code));
    // Nothing was opened: nothing plays, and Play says why.
    EXPECT_EQ(Send(service, "Play REDevid1 from 0 to 1920 notify"), code);
    EXPECT_EQ(Send(service, "Play Other from 0 to 1920 notify"), kDeviceNotOpen);
  }
  FluidMediaService service(ToFile(), log.Callback());
  EXPECT_EQ(Send(service, OpenCommand(folder.Join("missing.mid"))), kFileMissing);
  EXPECT_EQ(Send(service, OpenCommand(folder.Path())), kFileMissing);
  const std::string huge = folder.Join("huge.mid");
  WriteFileBytes(huge, NoteSequence(1, 96));
  std::filesystem::resize_file(huge, std::uintmax_t{65} << 20);  // sparse: costs no disk
  EXPECT_EQ(Send(service, OpenCommand(huge)), kFileTooLarge);
  EXPECT_EQ(Send(service, "Open  type MPEGVideo"), kUnknownWord);
  EXPECT_EQ(Send(service, OpenCommand(Song()) + " shareable"), kUnknownWord);
  EXPECT_EQ(Send(service, "Open " + Song() + " type MPEGVideo Alias REDevid1 parent here"), kBadNumber);
  EXPECT_EQ(log.Taken(), Notices{});
  // A SoundFont that failed once is tried again by the next open.
  EXPECT_EQ(Send(service, OpenCommand(Song())), kMediaOk);
}

// ALSA's null device takes sound where there is no sound card, so FluidSynth's own audio
// thread drives the player here as it does on a desktop. ALSA reads its settings once.
TEST_F(FluidMediaServiceTest, TheSoundCardPlaysFromFluidSynthsAudioThread) {
  const std::string song = folder.Join("quarter.mid");
  WriteFileBytes(song, NoteSequence(1, 240));
  WriteFileBytes(folder.Join(".asoundrc"), "pcm.!default { type null }\n");
  const char* home = std::getenv("HOME");
  const std::string saved_home = home != nullptr ? home : "";
  ::setenv("HOME", folder.Path().c_str(), 1);
  FluidMediaService service({SoundFont(), ""}, log.Callback());
  const int opened = Send(service, OpenCommand(song));
  ::setenv("HOME", saved_home.c_str(), 1);
  ASSERT_EQ(opened, kMediaOk) << MediaErrorText(opened);
  // The null device takes sound as fast as it comes: no pace is asked of it here.
  ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 240 notify"), kMediaOk);
  ASSERT_TRUE(WaitFor([&] { return Ask(service, kMode) == "stopped"; }));
  EXPECT_EQ(Position(service), 240);
  EXPECT_EQ(log.Taken(), (Notices{NotifyResult::kSuccessful, NotifyResult::kSuccessful}));
}

TEST_F(FluidMediaServiceTest, APathWithBlanksOpens) {
  const std::string path = folder.Join("my song.mid");
  WriteFileBytes(path, NoteSequence(1, 96));
  FluidMediaService service(ToFile());
  ASSERT_EQ(Send(service, OpenCommand(path)), kMediaOk);
  EXPECT_EQ(Ask(service, kLength), "96");
}

TEST_F(FluidMediaServiceTest, AFileTheSynthesizerCannotReadEndsAtOnce) {
  // One note, then a system message that has no place in a file: the synthesizer refuses it all.
  const std::string path = folder.Join("damaged.mid");
  WriteFileBytes(path, testing::Smf(0, 480, {testing::Hex("00 90 3C 64  83 60 80 3C 00  00 F2 00 00  00 FF 2F 00")}));
  FluidMediaService service(ToFile(), log.Callback());
  ASSERT_EQ(Send(service, OpenCommand(path)), kMediaOk);
  EXPECT_EQ(Ask(service, kLength), "480");
  ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 480 notify"), kMediaOk);
  EXPECT_TRUE(WaitFor([&] { return Ask(service, kMode) == "stopped"; }));
  EXPECT_EQ(Position(service), 0);
  EXPECT_EQ(log.Taken(), (Notices{NotifyResult::kSuccessful, NotifyResult::kSuccessful}));
  // A file that is no MIDI file at all has nothing to play.
  const std::string text = folder.Join("notes.txt");
  WriteFileBytes(text, "no MIDI here");
  EXPECT_EQ(Send(service, "Close REDevid1"), kMediaOk);
  ASSERT_EQ(Send(service, OpenCommand(text)), kMediaOk);
  EXPECT_EQ(Ask(service, kLength), "0");
  EXPECT_EQ(Send(service, "Play REDevid1 from 0 to 1 notify"), kOutOfRange);
}

TEST_F(FluidMediaServiceTest, EachPlayStartsFromTheFilesOwnChannelSettings) {
  // Channel volume 0 before the notes: nothing of this file may be heard, also after a resume.
  const std::string quiet = folder.Join("quiet.mid");
  WriteFileBytes(quiet, testing::Smf(0, 480, {testing::Hex("00 B0 07 00  00 90 3C 64  83 60 80 3C 00  00 FF 2F 00")}));
  {
    FluidMediaService service(ToFile());
    ASSERT_EQ(Send(service, OpenCommand(quiet)), kMediaOk);
    ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 480"), kMediaOk);
    ASSERT_TRUE(PlaysOn(service, 0, 240));
    ASSERT_EQ(Send(service, "Pause REDevid1"), kMediaOk);
    ASSERT_EQ(Send(service, "Play REDevid1 from " + Ask(service, kPosition) + " to 480"), kMediaOk);
    ASSERT_TRUE(WaitFor([&] { return Ask(service, kMode) == "stopped"; }));
    // The next file sets no volume of its own: it must not inherit the silence.
    ASSERT_EQ(Send(service, "Close REDevid1"), kMediaOk);
    EXPECT_LT(testing::WavRms(ReadFileBytes(Wav())), 0.0005);
    WriteFileBytes(folder.Join("short.mid"), NoteSequence(1, 240));
    ASSERT_EQ(Send(service, OpenCommand(folder.Join("short.mid"))), kMediaOk);
    ASSERT_EQ(Send(service, "Play REDevid1 from 0 to 240"), kMediaOk);
    ASSERT_TRUE(WaitFor([&] { return Ask(service, kMode) == "stopped"; }));
  }
  EXPECT_GT(testing::WavRms(ReadFileBytes(Wav())), 0.001);
}

// The whole road: the actions send their commands to the synthesizer and the poll sees the end.
class FluidPlaybackTest : public testing::SessionTest {};

TEST_F(FluidPlaybackTest, PlayRunsToTheEndAndThePollDisablesPauseAndStop) {
  const std::string sound_font = user.Join("sine.sf2");
  WriteFileBytes(sound_font, testing::SineSoundFont());
  std::string path = UserFile("short.mid", NoteSequence(2, 240));  // half a second
  const std::string wav = user.Join("short.wav");
  {
    FluidMediaService service({sound_font, wav});
    Session playing(app.Path(), ui, service);
    MciOpen(playing, path, kDeviceAlias);
    ASSERT_EQ(playing.player.LastMciError, kMediaOk);
    PlayAction(playing);
    EXPECT_TRUE(playing.player.Playing);
    EXPECT_TRUE(ui.IsEnabled(Control::mnuStop));
    ASSERT_TRUE(WaitFor([&] {
      Timer1Tick(playing);
      return !playing.player.Playing;
    }));
    EXPECT_FALSE(ui.IsEnabled(Control::mnuPause));
    EXPECT_FALSE(ui.IsEnabled(Control::Toolbar2Button6));
    EXPECT_EQ(MciPosition(playing, kDeviceAlias), 480);
    MciClose(playing, kDeviceAlias);
    EXPECT_EQ(playing.player.LastMciError, kMediaOk);
  }
  EXPECT_GT(testing::WavRms(ReadFileBytes(wav)), 0.001);
}

TEST_F(FluidPlaybackTest, WithoutASoundFontPlayShowsWhyAndLeavesPauseAndStopOff) {
  FluidMediaService service({user.Join("none.sf2"), user.Join("out.wav")});
  Session playing(app.Path(), ui, service);
  std::string path = UserFile("song.mid", NoteSequence(1, 96));
  MciOpen(playing, path, kDeviceAlias);
  EXPECT_EQ(ui.StatusText, MediaErrorText(kNoSoundFont));
  PlayAction(playing);
  EXPECT_FALSE(playing.player.Playing);
  EXPECT_FALSE(ui.IsEnabled(Control::mnuPause));
  EXPECT_FALSE(ui.IsEnabled(Control::mnuStop));
  EXPECT_EQ(ui.StatusText, MediaErrorText(kNoSoundFont));
}

}  // namespace
}  // namespace quavert
