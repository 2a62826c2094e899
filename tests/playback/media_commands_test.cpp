#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "commands/media_commands.h"
#include "commands/playback_actions.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using Commands = std::vector<std::string>;

constexpr const char* kSetFrames = "Set REDevid1 time format frames";
constexpr const char* kLength = "Status REDevid1 length";
constexpr const char* kPosition = "Status REDevid1 position";
constexpr const char* kMode = "Status REDevid1 mode";
constexpr const char* kPlayAll = "Play REDevid1 from 0 to 1920 notify";
constexpr const char* kPause = "Pause REDevid1 notify";
constexpr const char* kStop = "Stop REDevid1 notify";

// A file of 1920 ticks is open on the device; Play is enabled, Pause and Stop are not (no control
// is before it is set), as after a load.
class MediaCommandsTest : public testing::SessionTest {
 protected:
  MediaCommandsTest() {
    media.Replies[kLength] = "1920";
    session.controls.Play = true;
    ShowControls(session);
  }

  // Play, Pause and Stop, menu entry and toolbar button alike: 1 enabled, 0 disabled, ? mixed.
  std::string Buttons() const {
    std::string state;
    for (auto [entry, button] : {std::pair{Control::mnuPlay, Control::Toolbar2Button4},
                                 std::pair{Control::mnuPause, Control::Toolbar2Button5},
                                 std::pair{Control::mnuStop, Control::Toolbar2Button6}})
      state += ui.IsEnabled(entry) != ui.IsEnabled(button) ? '?' : ui.IsEnabled(entry) ? '1' : '0';
    return state;
  }
};

// The routines the actions do not reach on their own; a failed query answers -1 and shows the
// device's error, a reply is read for its leading number.
TEST_F(MediaCommandsTest, EachRoutineSendsItsCommandStringAndQueriesReadTheirReplies) {
  std::string path = user.Join("My Song.mid");
  std::string to = "480", to_end = "TheEnd";
  int width = 0, height = 0, given_width = 100, given_height = 0;
  session.player.Playing = true;
  MciOpen(session, path, "REDevid1");
  MciPlay(session, "REDevid1", "96", to);
  MciPutWindow(session, "REDevid1", 0, 0, width, height);
  MciPutWindow(session, "REDevid1", 5, -2, given_width, given_height);
  MciClose(session, "REDevid1");
  EXPECT_FALSE(session.player.Playing);
  EXPECT_EQ(media.Commands, (Commands{"Open \"" + path + "\" type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify",
                                      "Play REDevid1 from 96 to 480 notify", "Put REDevid1 window at 0 0 320 40 notify",
                                      "Put REDevid1 window at 5 -2 100 40 notify", "Close REDevid1 notify"}));
  EXPECT_EQ((std::vector<int>{width, height, given_width, given_height}), (std::vector<int>{320, 40, 100, 40}));
  for (const auto& [reply, expected] : {std::pair{" 77 frames", 77}, {"97.5", 98}, {"none", 0}, {"2147483648", -1}}) {
    media.Replies[kPosition] = reply;
    EXPECT_EQ(MciPosition(session, "REDevid1"), expected) << reply;
  }
  EXPECT_EQ(ui.StatusText, "");
  media.Codes = {{kSetFrames, 5}};  // only the status query decides the length
  EXPECT_EQ(MciLength(session, "REDevid1"), 1920);
  media.Codes = {{kLength, 7}, {"Open /nowhere/song.mid type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify", 4}};
  MciPlay(session, "REDevid1", "0", to_end);
  EXPECT_EQ(media.Commands.back(), "Play REDevid1 from 0 to -1 notify");
  EXPECT_EQ(ui.StatusText, "media error 7");
  EXPECT_EQ(to_end, "-1");  // the caller sees the end it played to
  path = "/nowhere/song.mid";
  MciOpen(session, path, "REDevid1");
  EXPECT_EQ(session.player.LastMciError, 4);
  EXPECT_EQ(ui.StatusText, "media error 4");
}

TEST_F(MediaCommandsTest, ActionsAndThePollSendTheirCommandsAndEnableTheButtons) {
  const std::string kPlay700 = "Play REDevid1 from 700 to 1920 notify";
  const Commands kPlay = {kSetFrames, kLength, kPlayAll};
  const Commands kResume = {kPosition, kSetFrames, kLength, kPlay700};
  const std::string kPlayFromNowhere = "Play REDevid1 from -1 to 1920 notify";
  const struct Step {
    const char* name;
    void (*action)(Session&);
    Commands sent;
    const char* after;                        // Play, Pause and Stop enabled; the player playing, paused or stopped
    std::map<std::string, int> refused = {};  // commands the device refuses, with their codes
    std::string reply = "";                   // to the position and mode queries
    std::string status = "";
  } steps[] = {
      {"play", PlayAction, kPlay, "111 playing"},
      {"play while playing restarts", PlayAction, kPlay, "111 playing"},
      {"pause", PauseAction, {kPause}, "100 paused"},
      {"play resumes where it paused", PlayAction, kResume, "111 playing", {}, "700"},
      {"pause", PauseAction, {kPause}, "100 paused"},
      {"pause while paused resumes", PauseAction, kResume, "100 playing", {}, "700"},
      {"stop", StopAction, {kStop}, "100 stopped"},
      {"no poll while stopped", Timer1Tick, {}, "100 stopped"},
      {"play after stop", PlayAction, kPlay, "111 playing"},
      {"poll: playing", Timer1Tick, {kMode}, "111 playing", {}, "playing"},
      {"poll: only the exact word", Timer1Tick, {kMode}, "111 playing", {}, "Stopped"},
      {"poll: a failed query", Timer1Tick, {kMode}, "111 playing", {{kMode, 9}}, "stopped"},
      {"poll: stopped", Timer1Tick, {kMode}, "100 stopped", {}, std::string("stopped\0old", 11)},
      {"play refused", PlayAction, kPlay, "100 stopped", {{kPlayAll, 2}}, "", "media error 2"},
      {"play", PlayAction, kPlay, "111 playing"},
      {"restart refused", PlayAction, kPlay, "111 playing", {{kPlayAll, 11}}, "", "media error 11"},
      {"pause refused", PauseAction, {kPause}, "111 playing", {{kPause, 5}}, "", "media error 5"},
      {"stop refused", StopAction, {kStop}, "111 playing", {{kStop, 6}}, "", "media error 6"},
      {"pause", PauseAction, {kPause}, "100 paused"},
      {"resume refused", PlayAction, kResume, "100 paused", {{kPlay700, 8}}, "700", "media error 8"},
      {"resume with no position", PlayAction, {kPosition, kSetFrames, kLength, kPlayFromNowhere}, "100 paused",
       {{kPosition, 4}, {kPlayFromNowhere, 11}}, "", "media error 11"},
      {"resume", PlayAction, kResume, "111 playing", {}, "700"},
  };
  for (const Step& step : steps) {
    media.Commands.clear();
    media.Codes = step.refused;
    media.Replies[kPosition] = media.Replies[kMode] = step.reply;
    ui.StatusText.clear();
    step.action(session);
    const char* player = !session.player.Playing ? " stopped" : session.player.Paused ? " paused" : " playing";
    EXPECT_EQ(media.Commands, step.sent) << step.name;
    EXPECT_EQ(Buttons() + player + (ui.Busy ? " busy " : " ") + ui.StatusText, std::string(step.after) + " " + step.status) << step.name;
  }
}


// Seeking and "Play from Here": a seek moves a running play and makes a stopped one wait where
// Play then starts; the device's answer to the position query is where the window shows it.
TEST_F(MediaCommandsTest, SeekAndPlayFromHereMoveThePlaceAndPlayedTickReadsIt) {
  const std::string kSeek700 = "Seek REDevid1 to 700";
  const std::string kPlayFrom480 = "Play REDevid1 from 480 to 1920 notify";
  const struct Step {
    const char* name;
    std::function<void()> action;
    Commands sent;
    const char* after;  // Play, Pause and Stop; playing, paused or resting; the status text
    std::map<std::string, int> refused = {};
  } steps[] = {
      {"nothing played yet: no place", [&] { EXPECT_EQ(PlayedTick(session), std::nullopt); }, {}, "100 resting "},
      {"seek while stopped waits there", [&] { SeekAction(session, 700); }, {kSeek700}, "100 paused "},
      {"play starts there", [&] { PlayAction(session); },
       {kPosition, kSetFrames, kLength, "Play REDevid1 from 700 to 1920 notify"}, "111 playing "},
      {"the place played", [&] { EXPECT_EQ(PlayedTick(session), 700); }, {kPosition}, "111 playing "},
      {"seek while playing goes on playing", [&] { SeekAction(session, 1500); }, {"Seek REDevid1 to 1500"}, "111 playing "},
      {"the new place", [&] { EXPECT_EQ(PlayedTick(session), 1500); }, {kPosition}, "111 playing "},
      {"seek refused", [&] { SeekAction(session, 1921); }, {"Seek REDevid1 to 1921"}, "111 playing media error 7",
       {{"Seek REDevid1 to 1921", 7}}},
      {"a failed query leaves the last error", [&] { EXPECT_EQ(PlayedTick(session), std::nullopt); }, {kPosition},
       "111 playing ", {{kPosition, 4}}},
      {"pause", [&] { PauseAction(session); }, {kPause}, "100 paused "},
      {"play from here, paused", [&] { PlayFromAction(session, 480); }, {kSetFrames, kLength, kPlayFrom480}, "111 playing "},
      {"play from here, playing", [&] { PlayFromAction(session, 480); }, {kSetFrames, kLength, kPlayFrom480}, "111 playing "},
      {"stop", [&] { StopAction(session); }, {kStop}, "100 resting "},
      {"play from here refused", [&] { PlayFromAction(session, 480); }, {kSetFrames, kLength, kPlayFrom480},
       "100 resting media error 2", {{kPlayFrom480, 2}}},
  };
  for (const Step& step : steps) {
    media.Commands.clear();
    media.Codes = step.refused;
    ui.StatusText.clear();
    const std::int32_t error_before = session.player.LastMciError;
    step.action();
    const char* player = session.player.Paused ? " paused " : session.player.Playing ? " playing " : " resting ";
    EXPECT_EQ(media.Commands, step.sent) << step.name;
    EXPECT_EQ(Buttons() + player + ui.StatusText, step.after) << step.name;
    if (step.sent == Commands{kPosition}) {
      EXPECT_EQ(session.player.LastMciError, error_before) << step.name;
    }
  }
}

}  // namespace
}  // namespace quavert
