#include <gtest/gtest.h>

#include "playback/media_commands.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using Commands = std::vector<std::string>;

constexpr const char* kSetFrames = "Set REDevid1 time format frames";
constexpr const char* kLength = "Status REDevid1 length";
constexpr const char* kPosition = "Status REDevid1 position";

class MediaCommandsTest : public testing::SessionTest {};

TEST_F(MediaCommandsTest, OpenNamesTheFrameAndQuotesAPathWithBlanks) {
  std::string path = user.Join("My Song.mid");
  MciOpen(session, path, "REDevid1");
  EXPECT_EQ(media.Commands,
            Commands{"Open \"" + path + "\" type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify"});
  EXPECT_EQ(path, user.Join("My Song.mid"));
  EXPECT_EQ(ui.StatusText, "");
}

TEST_F(MediaCommandsTest, AnOpenTheDeviceRefusesShowsItsErrorText) {
  std::string path = "/nowhere/song.mid";
  media.Codes["Open /nowhere/song.mid type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify"] = 4;
  MciOpen(session, path, "REDevid1");
  EXPECT_EQ(session.player.LastMciError, 4);
  EXPECT_EQ(ui.StatusText, "media error 4");
}

TEST_F(MediaCommandsTest, PlayToTheEndAsksForTheLengthAndKeepsItInTheCallersVariable) {
  media.Replies[kLength] = "1920";
  std::string to = "TheEnd";
  MciPlay(session, "REDevid1", "0", to);
  EXPECT_EQ(media.Commands, (Commands{kSetFrames, kLength, "Play REDevid1 from 0 to 1920 notify"}));
  EXPECT_EQ(to, "1920");
  EXPECT_TRUE(session.player.Playing);

  media.Commands.clear();
  to = "480";
  MciPlay(session, "REDevid1", "96", to);
  EXPECT_EQ(media.Commands, Commands{"Play REDevid1 from 96 to 480 notify"});
  EXPECT_EQ(to, "480");
}

TEST_F(MediaCommandsTest, PlayToAnEndThatCannotBeReadSendsMinusOne) {
  media.Codes[kLength] = 6;
  std::string to = "TheEnd";
  MciPlay(session, "REDevid1", "0", to);
  EXPECT_EQ(to, "-1");
  EXPECT_EQ(media.Commands.back(), "Play REDevid1 from 0 to -1 notify");
  EXPECT_EQ(ui.StatusText, "media error 6");
}

TEST_F(MediaCommandsTest, StopAndCloseEndPlayingPauseDoesNot) {
  session.player.Playing = true;
  MciPause(session, "REDevid1");
  EXPECT_TRUE(session.player.Playing);
  MciStop(session, "REDevid1");
  EXPECT_FALSE(session.player.Playing);
  session.player.Playing = true;
  MciClose(session, "REDevid1");
  EXPECT_FALSE(session.player.Playing);
  EXPECT_EQ(media.Commands, (Commands{"Pause REDevid1 notify", "Stop REDevid1 notify", "Close REDevid1 notify"}));
}

TEST_F(MediaCommandsTest, ARefusedCommandLeavesPlayingAsItWasAndKeepsItsCode) {
  media.Codes["Play REDevid1 from 0 to 10 notify"] = 11;
  media.Codes["Stop REDevid1 notify"] = 2;
  media.Codes["Close REDevid1 notify"] = 2;
  std::string to = "10";
  MciPlay(session, "REDevid1", "0", to);
  EXPECT_FALSE(session.player.Playing);
  EXPECT_EQ(session.player.LastMciError, 11);
  session.player.Playing = true;
  MciStop(session, "REDevid1");
  EXPECT_TRUE(session.player.Playing);
  MciClose(session, "REDevid1");
  EXPECT_TRUE(session.player.Playing);
  EXPECT_EQ(session.player.LastMciError, 2);
  MciPause(session, "REDevid1");
  EXPECT_EQ(session.player.LastMciError, 0);
}

TEST_F(MediaCommandsTest, PutWindowFillsTheFrameForZeroSizes) {
  int width = 0;
  int height = 0;
  MciPutWindow(session, "REDevid1", 0, 0, width, height);
  int given_width = 100;
  int given_height = 0;
  MciPutWindow(session, "REDevid1", 5, -2, given_width, given_height);
  EXPECT_EQ(media.Commands,
            (Commands{"Put REDevid1 window at 0 0 320 40 notify", "Put REDevid1 window at 5 -2 100 40 notify"}));
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 40);
  EXPECT_EQ(given_height, 40);
}

TEST_F(MediaCommandsTest, LengthSetsFramesThenAsksAndReadsTheLeadingNumber) {
  for (const auto& [reply, expected] : std::vector<std::pair<std::string, std::int32_t>>{
           {"1920", 1920}, {" 77 frames", 77}, {std::string("12\0" "99", 5), 12}, {"96.5", 96}, {"97.5", 98},
           {"", 0}, {"none", 0}, {"2147483647", 2147483647}}) {
    media.Commands.clear();
    media.Replies[kLength] = reply;
    EXPECT_EQ(MciLength(session, "REDevid1"), expected) << reply;
    EXPECT_EQ(media.Commands, (Commands{kSetFrames, kLength}));
  }
  EXPECT_EQ(ui.StatusText, "");
}

TEST_F(MediaCommandsTest, PositionAsksWithoutSettingTheTimeFormat) {
  media.Replies[kPosition] = "640";
  EXPECT_EQ(MciPosition(session, "REDevid1"), 640);
  EXPECT_EQ(media.Commands, Commands{kPosition});
}

TEST_F(MediaCommandsTest, AFailedQueryGivesMinusOneAndShowsTheDevicesText) {
  media.Replies[kLength] = "1920";
  media.Codes[kLength] = 7;
  EXPECT_EQ(MciLength(session, "REDevid1"), -1);
  EXPECT_EQ(session.player.LastMciError, 7);
  EXPECT_EQ(ui.StatusText, "media error 7");

  media.Codes[kPosition] = 3;
  EXPECT_EQ(MciPosition(session, "REDevid1"), -1);
  EXPECT_EQ(ui.StatusText, "media error 3");
}

TEST_F(MediaCommandsTest, OnlyTheStatusQueryDecidesTheLength) {
  media.Codes[kSetFrames] = 5;
  media.Replies[kLength] = "300";
  EXPECT_EQ(MciLength(session, "REDevid1"), 300);
  EXPECT_EQ(session.player.LastMciError, 0);
}

TEST_F(MediaCommandsTest, AnAnswerTooLargeForALongIsNoPosition) {
  media.Replies[kPosition] = "2147483648";
  EXPECT_EQ(MciPosition(session, "REDevid1"), -1);
  media.Replies[kPosition] = "1e400";
  EXPECT_EQ(MciPosition(session, "REDevid1"), -1);
}

}  // namespace
}  // namespace quavert
