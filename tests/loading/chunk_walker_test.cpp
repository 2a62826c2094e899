#include <gtest/gtest.h>

#include "common/run_error.h"
#include "loading/chunk_walker.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Mthd;
using testing::Mtrk;
using testing::Smf;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNote = Hex("00 90 3C 64 10 80 3C 00");

class ChunkWalkerTest : public testing::SessionTest {
 protected:
  // Puts `bytes` in place as the working copy of SONG.MID, announcing `tracks` tracks.
  void Walk(const Bytes& bytes, int tracks) {
    session.file.WorkCopyName = kWorkCopyName;
    session.file.ShortName = "SONG.MID";
    session.file.FileSize = static_cast<std::int64_t>(bytes.size());
    session.file.TotalTracks = tracks;
    session.file.LoadState = kLoadNormal;
    testing::WriteFileBytes(session.WorkCopyPath(), bytes);
    WalkTrackChunks(session);
  }
  const TrackTable& table() const { return session.tracks; }
};

TEST_F(ChunkWalkerTest, RecordsWhereEachTrackStarts) {
  const Bytes file = Smf(1, 96, {kNote + kEnd, Hex("00 C0 05") + kEnd});
  Walk(file, 2);
  EXPECT_EQ(table().TrackCount, 2);
  EXPECT_EQ(table().TrackStart[1], 15);
  EXPECT_EQ(table().TrackStart[2], 15 + 8 + 12);
  EXPECT_EQ(table().TrackStart[3], static_cast<std::int64_t>(file.size()) + 1);
  EXPECT_EQ(std::string(table().TrackChunks[2].Id.begin(), table().TrackChunks[2].Id.end()), "MTrk");
  EXPECT_EQ(table().TrackChunks[2].Size, (std::array<std::uint8_t, 4>{0, 0, 0, 7}));
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(session.file.LoadState, kLoadNormal);
}

TEST_F(ChunkWalkerTest, HeaderOnlyFileHasNoTracksAndNoMessage) {
  Walk(Mthd(0, 0, 96), 0);
  EXPECT_EQ(table().TrackCount, 0);
  EXPECT_EQ(table().TrackStart[1], 15);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ChunkWalkerTest, EndOfTrackIsFoundAcrossBlockBoundaries) {
  // 5001 data bytes: the last block holds one byte of the FF 2F 00.
  Bytes data = Hex("00 F0") + Hex("81 A6 7F");  // system exclusive of 4991 bytes
  data += Bytes(4991, '\x01');
  data += kEnd.substr(0);
  data.insert(data.size() - 4, Bytes(5001 - data.size(), '\x00'));
  ASSERT_EQ(data.size(), 5001u);
  Walk(Smf(0, 96, {data}), 1);
  EXPECT_EQ(table().TrackCount, 1);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ChunkWalkerTest, ATrackNotEndingInEndOfTrackFailsTheWalk) {
  session.report.Create(app.Join("logs/song.txt"));
  Walk(Smf(1, 96, {kNote + kEnd, kNote, kNote + kEnd}), 3);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"SONG.MID: Invalid Track Length ( 2)"});
  EXPECT_EQ(session.file.LoadState, kLoadFailed);
  EXPECT_FALSE(session.report.IsOpen()) << "every open file is closed";
}

TEST_F(ChunkWalkerTest, EmptyAndTooShortFirstTracksFail) {
  Walk(Smf(0, 96, {Bytes()}), 1);
  EXPECT_EQ(ui.MessageTexts().back(), "SONG.MID: Invalid Track Length ( 1)");
  Walk(Smf(0, 96, {Hex("2F 00")}), 1);
  EXPECT_EQ(ui.MessageTexts().back(), "SONG.MID: Invalid Track Length ( 1)");
}

TEST_F(ChunkWalkerTest, TrailingBytesAfterTheLastAnnouncedTrackAreNotAnError) {
  const Bytes garbage = "garbage-bytes";
  Walk(Smf(0, 96, {kNote + kEnd}) + garbage, 1);
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"SONG.MID:\r\nProbably unnecessary bytes at end of file. File should be OK."});
  EXPECT_EQ(table().TrackCount, 1);
  EXPECT_EQ(table().TrackStart[2], 15 + 8 + 12);
  EXPECT_EQ(session.file.LoadState, kLoadNormal);
  EXPECT_EQ(ui.DoEventsCount, 1);
}

TEST_F(ChunkWalkerTest, TheSameBytesWithMoreTracksAnnouncedAreAnInvalidTrackId) {
  Walk(Smf(1, 96, {kNote + kEnd, kNote + kEnd}) + "garbage-bytes", 3);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"SONG.MID: Invalid Track ID ( 3)"});
  EXPECT_EQ(table().TrackCount, 2);
  EXPECT_EQ(session.file.LoadState, kLoadNormal);
}

TEST_F(ChunkWalkerTest, FewerThanEightTrailingBytesCountAsOneMoreTrack) {
  Walk(Smf(0, 96, {kNote + kEnd}) + "abc", 1);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(table().TrackCount, 2);
}

TEST_F(ChunkWalkerTest, OnlyTheLowThreeBytesOfTheLengthCount) {
  Bytes file = Smf(0, 96, {Hex("00 90 3C 64 00 80 3C 00 00 00 00 00 00 FF 2F 00")});
  file[18] = '\x01';  // length field 01 00 00 10
  Walk(file, 1);
  EXPECT_EQ(table().TrackCount, 1);
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ChunkWalkerTest, ATruncatedLastTrackEndsTheWalkSilently) {
  // A longer file first, so that a table entry the walk forgets to write would be stale.
  Walk(Smf(1, 96, {kNote + kEnd, kNote + kEnd, kNote + kEnd}), 3);
  Bytes file = Smf(0, 96, {kNote + kEnd});
  file[21] = 100;  // claims 100 bytes, holds 12
  Walk(file, 1);
  EXPECT_EQ(table().TrackCount, 1);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(session.file.LoadState, kLoadNormal);
  // The cut track ends where the file does: the repair and the track writer rely on it.
  EXPECT_EQ(table().TrackStart[2], static_cast<std::int64_t>(file.size()) + 1);

  Walk(Smf(0, 96, {kNote + kEnd}) + "MTr", 1);  // a chunk header cut short counts as a track
  EXPECT_EQ(table().TrackCount, 2);
  EXPECT_EQ(table().TrackStart[3], static_cast<std::int64_t>(Smf(0, 96, {kNote + kEnd}).size()) + 4);
}

TEST_F(ChunkWalkerTest, SeventyTwoTracksFitAndSeventyThreeDoNot) {
  std::vector<Bytes> tracks(72, kEnd);
  Walk(Smf(1, 96, tracks), 72);
  EXPECT_EQ(table().TrackCount, 72);
  tracks.push_back(kEnd);
  try {
    Walk(Smf(1, 96, tracks), 73);
    FAIL() << "73 tracks walked";
  } catch (const RunError& error) {
    EXPECT_EQ(error.code(), kIndexOutOfRange);
  }
  // A 73rd chunk cut short by the end of the file is a 73rd track all the same.
  tracks.pop_back();
  Bytes cut = Smf(1, 96, tracks) + Hex("4D 54 72 6B 00 00 00 09 00 FF 2F");
  try {
    Walk(cut, 73);
    FAIL() << "72 tracks and a cut 73rd walked";
  } catch (const RunError& error) {
    EXPECT_EQ(error.code(), kIndexOutOfRange);
  }
}

}  // namespace
}  // namespace quavert
