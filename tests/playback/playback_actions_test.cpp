#include <gtest/gtest.h>

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
class PlaybackActionsTest : public testing::SessionTest {
 protected:
  PlaybackActionsTest() {
    media.Replies[kLength] = "1920";
    for (Control control : {Control::mnuPlay, Control::Toolbar2Button4}) ui.SetEnabled(control, true);
    for (Control control : {Control::mnuPause, Control::Toolbar2Button5, Control::mnuStop, Control::Toolbar2Button6})
      ui.SetEnabled(control, false);
    ui.ClearLog();
  }

  // Runs an action and returns the commands it sent.
  template <typename Action>
  Commands Run(Action action) {
    media.Commands.clear();
    action(session);
    return media.Commands;
  }

  void ExpectPlayEnabled() {
    EXPECT_TRUE(ui.IsEnabled(Control::mnuPlay));
    EXPECT_TRUE(ui.IsEnabled(Control::Toolbar2Button4));
  }

  void ExpectPauseAndStop(bool enabled) {
    for (Control control : {Control::mnuPause, Control::Toolbar2Button5, Control::mnuStop, Control::Toolbar2Button6})
      EXPECT_EQ(ui.IsEnabled(control), enabled) << ControlName(control);
  }
};

TEST_F(PlaybackActionsTest, PlayPlaysTheWholeFileAndEnablesPauseAndStop) {
  EXPECT_EQ(Run(PlayAction), (Commands{kSetFrames, kLength, kPlayAll}));
  EXPECT_TRUE(session.player.Playing);
  EXPECT_FALSE(session.player.Paused);
  ExpectPlayEnabled();
  ExpectPauseAndStop(true);
  EXPECT_EQ(ui.StatusText, "");
}

TEST_F(PlaybackActionsTest, PlayPausePlayResumesFromThePositionRead) {
  Run(PlayAction);
  EXPECT_EQ(Run(PauseAction), Commands{kPause});
  EXPECT_TRUE(session.player.Paused);
  EXPECT_TRUE(session.player.Playing);
  ExpectPlayEnabled();
  ExpectPauseAndStop(false);

  media.Replies[kPosition] = "700";
  EXPECT_EQ(Run(PlayAction), (Commands{kPosition, kSetFrames, kLength, "Play REDevid1 from 700 to 1920 notify"}));
  EXPECT_FALSE(session.player.Paused);
  EXPECT_TRUE(session.player.Playing);
  ExpectPauseAndStop(true);
}

TEST_F(PlaybackActionsTest, PlayWhilePlayingRestartsFromTheBeginning) {
  Run(PlayAction);
  media.Replies[kPosition] = "700";
  EXPECT_EQ(Run(PlayAction), (Commands{kSetFrames, kLength, kPlayAll}));
  ExpectPauseAndStop(true);
}

TEST_F(PlaybackActionsTest, StopThenPlayStartsFromTheBeginning) {
  Run(PlayAction);
  EXPECT_EQ(Run(StopAction), Commands{kStop});
  EXPECT_FALSE(session.player.Playing);
  ExpectPlayEnabled();
  ExpectPauseAndStop(false);
  EXPECT_EQ(Run(PlayAction), (Commands{kSetFrames, kLength, kPlayAll}));
  ExpectPauseAndStop(true);
}

TEST_F(PlaybackActionsTest, PauseWhilePausedResumesAndLeavesOnlyPlayEnabled) {
  Run(PlayAction);
  Run(PauseAction);
  media.Replies[kPosition] = "1200";
  EXPECT_EQ(Run(PauseAction), (Commands{kPosition, kSetFrames, kLength, "Play REDevid1 from 1200 to 1920 notify"}));
  EXPECT_FALSE(session.player.Paused);
  ExpectPlayEnabled();
  ExpectPauseAndStop(false);
}

TEST_F(PlaybackActionsTest, ThePollAsksOnlyWhilePlaying) {
  EXPECT_EQ(Run(Timer1Tick), Commands{});
  Run(PlayAction);
  media.Replies[kMode] = "playing";
  EXPECT_EQ(Run(Timer1Tick), Commands{kMode});
  EXPECT_TRUE(session.player.Playing);
  ExpectPauseAndStop(true);
  Run(PauseAction);
  media.Replies[kMode] = "paused";
  EXPECT_EQ(Run(Timer1Tick), Commands{kMode});
  EXPECT_TRUE(session.player.Playing);
}

TEST_F(PlaybackActionsTest, WhenThePollSeesStoppedPlaybackHasEndedAndPlayStartsAgain) {
  Run(PlayAction);
  media.Replies[kMode] = std::string("stopped\0old", 11);
  Run(Timer1Tick);
  EXPECT_FALSE(session.player.Playing);
  ExpectPlayEnabled();
  ExpectPauseAndStop(false);
  EXPECT_EQ(Run(Timer1Tick), Commands{});
  EXPECT_EQ(Run(PlayAction), (Commands{kSetFrames, kLength, kPlayAll}));
  ExpectPauseAndStop(true);
}

TEST_F(PlaybackActionsTest, ThePollTakesOnlyTheExactWordAndIgnoresAFailedQuery) {
  Run(PlayAction);
  for (const char* mode : {"Stopped", "stopped ", "", "not ready"}) {
    media.Replies[kMode] = mode;
    Run(Timer1Tick);
    EXPECT_TRUE(session.player.Playing) << mode;
  }
  media.Replies[kMode] = "stopped";
  media.Codes[kMode] = 9;
  session.player.LastMciError = 0;
  Run(Timer1Tick);
  EXPECT_TRUE(session.player.Playing);
  ExpectPauseAndStop(true);
  EXPECT_EQ(session.player.LastMciError, 0);  // the poll keeps no code
}

TEST_F(PlaybackActionsTest, WhenTheDeviceCannotPlayItsTextIsShownAndPauseAndStopStayOff) {
  media.Codes[kPlayAll] = 2;
  Run(PlayAction);
  EXPECT_FALSE(session.player.Playing);
  ExpectPauseAndStop(false);
  EXPECT_EQ(ui.StatusText, "media error 2");
  EXPECT_FALSE(ui.Busy);
}

TEST_F(PlaybackActionsTest, ARefusedRestartLeavesTheRunningPlaybackItsButtons) {
  Run(PlayAction);
  media.Codes[kPlayAll] = 11;
  Run(PlayAction);
  EXPECT_TRUE(session.player.Playing);
  ExpectPauseAndStop(true);
  EXPECT_EQ(ui.StatusText, "media error 11");
}

TEST_F(PlaybackActionsTest, ARefusedResumeStaysPaused) {
  Run(PlayAction);
  Run(PauseAction);
  media.Replies[kPosition] = "700";
  media.Codes["Play REDevid1 from 700 to 1920 notify"] = 8;
  Run(PlayAction);
  EXPECT_TRUE(session.player.Paused);
  EXPECT_TRUE(session.player.Playing);
  ExpectPauseAndStop(false);
  EXPECT_EQ(ui.StatusText, "media error 8");

  // Once the device takes it, the same Play resumes.
  media.Codes.clear();
  EXPECT_EQ(Run(PlayAction).back(), "Play REDevid1 from 700 to 1920 notify");
  EXPECT_FALSE(session.player.Paused);
}

TEST_F(PlaybackActionsTest, APositionThatCannotBeReadMakesTheResumeFail) {
  Run(PlayAction);
  Run(PauseAction);
  media.Codes[kPosition] = 4;
  media.Codes["Play REDevid1 from -1 to 1920 notify"] = 11;
  EXPECT_EQ(Run(PlayAction), (Commands{kPosition, kSetFrames, kLength, "Play REDevid1 from -1 to 1920 notify"}));
  EXPECT_TRUE(session.player.Paused);
  EXPECT_EQ(ui.StatusText, "media error 11");
}

TEST_F(PlaybackActionsTest, ARefusedPauseOrStopKeepsPlayingAndItsButtons) {
  Run(PlayAction);
  media.Codes[kPause] = 5;
  media.Codes[kStop] = 6;
  Run(PauseAction);
  EXPECT_FALSE(session.player.Paused);
  EXPECT_EQ(ui.StatusText, "media error 5");
  Run(StopAction);
  EXPECT_EQ(ui.StatusText, "media error 6");
  EXPECT_TRUE(session.player.Playing);
  ExpectPauseAndStop(true);
  EXPECT_FALSE(ui.Busy);
}

}  // namespace
}  // namespace quavert
