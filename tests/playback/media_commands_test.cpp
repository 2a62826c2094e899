#include <gtest/gtest.h>

#include <functional>

#include "playback/media_commands.h"
#include "playback/playback_actions.h"
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

// A file of 1920 ticks is open on the device; Play is enabled, Pause and Stop are not, as after a load.
class MediaCommandsTest : public testing::SessionTest {
 protected:
  MediaCommandsTest() {
    media.Replies[kLength] = "1920";
    for (Control control : {Control::mnuPlay, Control::Toolbar2Button4}) ui.SetEnabled(control, true);
    for (Control control : {Control::mnuPause, Control::Toolbar2Button5, Control::mnuStop, Control::Toolbar2Button6})
      ui.SetEnabled(control, false);
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

TEST_F(MediaCommandsTest, EachRoutineSendsItsCommandString) {
  media.Replies[kPosition] = "640";
  std::string path = user.Join("My Song.mid");
  std::string to_end = "TheEnd";
  std::string to_480 = "480";
  int width = 0, height = 0, given_width = 100, given_height = 0;
  const struct {
    std::function<void()> call;
    Commands sent;
    bool playing_after;  // playing before each
  } routines[] = {
      {[&] { MciOpen(session, path, "REDevid1"); },
       {"Open \"" + path + "\" type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify"}, true},
      {[&] { MciPlay(session, "REDevid1", "0", to_end); }, {kSetFrames, kLength, kPlayAll}, true},
      {[&] { MciPlay(session, "REDevid1", "96", to_480); }, {"Play REDevid1 from 96 to 480 notify"}, true},
      {[&] { MciPause(session, "REDevid1"); }, {kPause}, true},
      {[&] { MciStop(session, "REDevid1"); }, {kStop}, false},
      {[&] { MciClose(session, "REDevid1"); }, {"Close REDevid1 notify"}, false},
      {[&] { MciPutWindow(session, "REDevid1", 0, 0, width, height); }, {"Put REDevid1 window at 0 0 320 40 notify"}, true},
      {[&] { MciPutWindow(session, "REDevid1", 5, -2, given_width, given_height); },
       {"Put REDevid1 window at 5 -2 100 40 notify"}, true},
      {[&] { EXPECT_EQ(MciLength(session, "REDevid1"), 1920); }, {kSetFrames, kLength}, true},
      {[&] { EXPECT_EQ(MciPosition(session, "REDevid1"), 640); }, {kPosition}, true},
  };
  for (const auto& routine : routines) {
    media.Commands.clear();
    session.player.Playing = true;
    routine.call();
    EXPECT_EQ(media.Commands, routine.sent);
    EXPECT_EQ(session.player.Playing, routine.playing_after) << routine.sent.back();
  }
  EXPECT_EQ(to_end, "1920");  // kept in the caller's variable
  EXPECT_EQ(path, user.Join("My Song.mid"));
  EXPECT_EQ((std::vector<int>{width, height, given_width, given_height}), (std::vector<int>{320, 40, 100, 40}));
  EXPECT_EQ(ui.StatusText, "");
}

TEST_F(MediaCommandsTest, QueriesReadTheLeadingNumberAndFailuresGiveMinusOne) {
  const std::pair<std::string, std::int32_t> replies[] = {
      {" 77 frames", 77}, {std::string("12\0" "99", 5), 12}, {"97.5", 98}, {"none", 0}, {"2147483648", -1}, {"1e400", -1}};
  for (const auto& [reply, expected] : replies) {
    media.Replies[kPosition] = reply;
    EXPECT_EQ(MciPosition(session, "REDevid1"), expected) << reply;
  }
  EXPECT_EQ(ui.StatusText, "");
  media.Codes[kSetFrames] = 5;  // only the status query decides the length
  EXPECT_EQ(MciLength(session, "REDevid1"), 1920);
  media.Codes[kLength] = 7;
  std::string to = "TheEnd";
  MciPlay(session, "REDevid1", "0", to);
  EXPECT_EQ(media.Commands.back(), "Play REDevid1 from 0 to -1 notify");
  EXPECT_EQ(ui.StatusText, "media error 7");

  std::string path = "/nowhere/song.mid";
  media.Codes["Open /nowhere/song.mid type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify"] = 4;
  MciOpen(session, path, "REDevid1");
  EXPECT_EQ(session.player.LastMciError, 4);
  EXPECT_EQ(ui.StatusText, "media error 4");
}

TEST_F(MediaCommandsTest, ActionsAndThePollSendTheirCommandsAndEnableTheButtons) {
  const std::string kPlay700 = "Play REDevid1 from 700 to 1920 notify";
  const Commands kPlay = {kSetFrames, kLength, kPlayAll};
  const Commands kResume = {kPosition, kSetFrames, kLength, kPlay700};
  const struct Step {
    const char* name;
    void (*action)(Session&);
    Commands sent;
    const char* buttons;  // Play, Pause, Stop
    const char* player;   // playing, paused or stopped
    std::map<std::string, int> refused = {};  // commands the device refuses, with their codes
    std::string reply = "";                   // to the position and mode queries
    std::string status = "";
  } steps[] = {
      {"play", PlayAction, kPlay, "111", "playing"},
      {"play while playing restarts", PlayAction, kPlay, "111", "playing"},
      {"pause", PauseAction, {kPause}, "100", "paused"},
      {"play resumes where it paused", PlayAction, kResume, "111", "playing", {}, "700"},
      {"pause", PauseAction, {kPause}, "100", "paused"},
      {"pause while paused resumes", PauseAction, kResume, "100", "playing", {}, "700"},
      {"stop", StopAction, {kStop}, "100", "stopped"},
      {"no poll while stopped", Timer1Tick, {}, "100", "stopped"},
      {"play after stop", PlayAction, kPlay, "111", "playing"},
      {"poll: playing", Timer1Tick, {kMode}, "111", "playing", {}, "playing"},
      {"poll: only the exact word", Timer1Tick, {kMode}, "111", "playing", {}, "Stopped"},
      {"poll: a failed query", Timer1Tick, {kMode}, "111", "playing", {{kMode, 9}}, "stopped"},
      {"poll: stopped", Timer1Tick, {kMode}, "100", "stopped", {}, std::string("stopped\0old", 11)},
      {"play refused", PlayAction, kPlay, "100", "stopped", {{kPlayAll, 2}}, "", "media error 2"},
      {"play", PlayAction, kPlay, "111", "playing"},
      {"restart refused", PlayAction, kPlay, "111", "playing", {{kPlayAll, 11}}, "", "media error 11"},
      {"pause refused", PauseAction, {kPause}, "111", "playing", {{kPause, 5}}, "", "media error 5"},
      {"stop refused", StopAction, {kStop}, "111", "playing", {{kStop, 6}}, "", "media error 6"},
      {"pause", PauseAction, {kPause}, "100", "paused"},
      {"resume refused", PlayAction, kResume, "100", "paused", {{kPlay700, 8}}, "700", "media error 8"},
      {"resume with no position", PlayAction, {kPosition, kSetFrames, kLength, "Play REDevid1 from -1 to 1920 notify"},
       "100", "paused", {{kPosition, 4}, {"Play REDevid1 from -1 to 1920 notify", 11}}, "", "media error 11"},
      {"resume", PlayAction, kResume, "111", "playing", {}, "700"},
  };
  for (const Step& step : steps) {
    media.Commands.clear();
    media.Codes = step.refused;
    media.Replies[kPosition] = media.Replies[kMode] = step.reply;
    ui.StatusText.clear();
    step.action(session);
    const char* player = !session.player.Playing ? "stopped" : session.player.Paused ? "paused" : "playing";
    EXPECT_EQ(media.Commands, step.sent) << step.name;
    EXPECT_EQ(Buttons(), step.buttons) << step.name;
    EXPECT_STREQ(player, step.player) << step.name;
    EXPECT_EQ(ui.StatusText, step.status) << step.name;
    EXPECT_FALSE(ui.Busy) << step.name;
  }
}

}  // namespace
}  // namespace quavert
