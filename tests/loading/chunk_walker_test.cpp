#include <gtest/gtest.h>

#include "common/run_error.h"
#include "loading/chunk_walker.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Mthd;
using testing::Smf;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNote = Hex("00 90 3C 64 10 80 3C 00");
const Bytes kTrack = kNote + kEnd;

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
  int WalkError(const Bytes& bytes, int tracks) {
    try {
      Walk(bytes, tracks);
    } catch (const RunError& error) {
      return error.code();
    }
    return 0;
  }
  const TrackTable& table() const { return session.tracks; }
};

TEST_F(ChunkWalkerTest, RecordsWhereEachTrackStarts) {
  const Bytes file = Smf(1, 96, {kTrack, Hex("00 C0 05") + kEnd});
  Walk(file, 2);
  EXPECT_EQ(table().TrackCount, 2);
  EXPECT_EQ(table().TrackStart[1], 15);
  EXPECT_EQ(table().TrackStart[2], 15 + 8 + 12);
  EXPECT_EQ(table().TrackStart[3], static_cast<std::int64_t>(file.size()) + 1);
  EXPECT_EQ(std::string(table().TrackChunks[2].Id.begin(), table().TrackChunks[2].Id.end()), "MTrk");
  EXPECT_EQ(table().TrackChunks[2].Size, (std::array<std::uint8_t, 4>{0, 0, 0, 7}));

  Walk(Mthd(0, 0, 96), 0);
  EXPECT_EQ(table().TrackCount, 0);
  EXPECT_EQ(table().TrackStart[1], 15);

  // Only the low three bytes of a length count: 01 00 00 10 is 16.
  Bytes high = Smf(0, 96, {Hex("00 90 3C 64 00 80 3C 00 00 00 00 00 00 FF 2F 00")});
  high[18] = '\x01';
  Walk(high, 1);
  EXPECT_EQ(table().TrackCount, 1);

  // 5001 data bytes: the last block holds one byte of the FF 2F 00.
  const Bytes data = Hex("00 F0 81 A6 7F") + Bytes(4991, '\x01') + Hex("00") + kEnd;
  ASSERT_EQ(data.size(), 5001u);
  Walk(Smf(0, 96, {data}), 1);
  EXPECT_EQ(table().TrackCount, 1);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(session.file.LoadState, kLoadNormal);
}

TEST_F(ChunkWalkerTest, EachEndingHasItsMessage) {
  struct Case {
    const char* what;
    Bytes bytes;
    int announced;
    std::vector<std::string> messages;
    int tracks;  // the count found; -1 when the walk fails
  };
  const std::vector<Case> cases = {
      {"no end of track", Smf(1, 96, {kTrack, kNote, kTrack}), 3, {"SONG.MID: Invalid Track Length ( 2)"}, -1},
      {"empty track", Smf(0, 96, {Bytes()}), 1, {"SONG.MID: Invalid Track Length ( 1)"}, -1},
      {"too short", Smf(0, 96, {Hex("2F 00")}), 1, {"SONG.MID: Invalid Track Length ( 1)"}, -1},
      {"trailing bytes", Smf(0, 96, {kTrack}) + "garbage-bytes", 1,
       {"SONG.MID:\r\nProbably unnecessary bytes at end of file. File should be OK."}, 1},
      {"more announced", Smf(1, 96, {kTrack, kTrack}) + "garbage-bytes", 3, {"SONG.MID: Invalid Track ID ( 3)"}, 2},
      {"fewer than 8 trailing", Smf(0, 96, {kTrack}) + "abc", 1, {}, 2},  // one more track
  };
  for (const Case& c : cases) {
    ui.ClearLog();
    session.report.Create(app.Join("logs/song.txt"));
    Walk(c.bytes, c.announced);
    EXPECT_EQ(ui.MessageTexts(), c.messages) << c.what;
    EXPECT_EQ(session.file.LoadState, c.tracks < 0 ? kLoadFailed : kLoadNormal) << c.what;
    if (c.tracks >= 0) {
      EXPECT_EQ(table().TrackCount, c.tracks) << c.what;
    }
    EXPECT_EQ(session.report.IsOpen(), c.tracks >= 0) << c.what << ": a failed walk closes every file";
    session.report.Close();
  }
}

TEST_F(ChunkWalkerTest, ATruncatedLastTrackEndsWhereTheFileDoes) {
  // A longer file first, so that a table entry the walk forgets to write would be stale.
  Walk(Smf(1, 96, {kTrack, kTrack, kTrack}), 3);
  Bytes file = Smf(0, 96, {kTrack});
  file[21] = 100;  // claims 100 bytes, holds 12
  Walk(file, 1);
  EXPECT_EQ(table().TrackCount, 1);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(session.file.LoadState, kLoadNormal);
  // The repair and the track writer rely on it.
  EXPECT_EQ(table().TrackStart[2], static_cast<std::int64_t>(file.size()) + 1);

  Walk(Smf(0, 96, {kTrack}) + "MTr", 1);  // a chunk header cut short counts as a track
  EXPECT_EQ(table().TrackCount, 2);
  EXPECT_EQ(table().TrackStart[3], static_cast<std::int64_t>(Smf(0, 96, {kTrack}).size()) + 4);
}

TEST_F(ChunkWalkerTest, SeventyTwoTracksFitAndSeventyThreeDoNot) {
  std::vector<Bytes> tracks(72, kEnd);
  Walk(Smf(1, 96, tracks), 72);
  EXPECT_EQ(table().TrackCount, 72);
  // A 73rd chunk cut short by the end of the file is a 73rd track all the same.
  EXPECT_EQ(WalkError(Smf(1, 96, tracks) + Hex("4D 54 72 6B 00 00 00 09 00 FF 2F"), 73), kIndexOutOfRange);
  tracks.push_back(kEnd);
  EXPECT_EQ(WalkError(Smf(1, 96, tracks), 73), kIndexOutOfRange);
}

}  // namespace
}  // namespace quavert
