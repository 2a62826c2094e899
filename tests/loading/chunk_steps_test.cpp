#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/binary_file.h"
#include "common/run_error.h"
#include "loading/chunk_headers.h"
#include "loading/chunk_walk.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using namespace testing;

HeaderChunk HeaderOf(const Bytes& bytes) {
  HeaderChunk header;
  std::memcpy(&header, bytes.data(), std::min(bytes.size(), sizeof header));
  return header;
}

TEST(ChunkStepsTest, TheHeaderCheckNamesTheFirstProblemInTheLoadsOrder) {
  const Bytes valid = Mthd(1, 2, 96);
  const struct { Bytes bytes; HeaderProblem problem; } cases[] = {
      {valid, HeaderProblem::kNone},
      {valid.substr(0, 13), HeaderProblem::kNotMidi},
      {Hex("4D 54 68 64 00 00 00 07 00 03 00 01 00 60"), HeaderProblem::kHeaderSize},
      {Hex("4D 54 68 65 00 00 00 06 00 00 00 01 00 60"), HeaderProblem::kNotMidi},
      {Hex("4D 54 68 65 00 00 00 07 00 03 00 01 00 60"), HeaderProblem::kNotMidi},  // the id comes first
      {Hex("4D 54 68 64 00 00 01 06 00 00 00 01 00 60"), HeaderProblem::kHeaderSize},
      {Hex("4D 54 68 64 00 00 00 06 00 03 00 01 00 60"), HeaderProblem::kFileFormat},
      // Only the format's low byte counts.
      {Hex("4D 54 68 64 00 00 00 06 01 02 00 01 00 60"), HeaderProblem::kNone},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckHeader(HeaderOf(c.bytes), c.bytes.size()), c.problem) << ToHex(c.bytes);
}

TEST(ChunkStepsTest, OnlyAMetricalDivisionOfOneTickOrMoreIsTimed) {
  const struct { int division; bool metrical; } cases[] = {{0, false}, {1, true}, {96, true}, {0x7FFF, true},
                                                          {0x8000, false}, {0xE728, false}};
  for (const auto& c : cases) {
    const HeaderChunk header = HeaderOf(Mthd(0, 1, c.division));
    EXPECT_EQ(DivisionIsMetrical(header), c.metrical) << c.division;
    EXPECT_EQ(DivisionTicks(header), c.division);
  }
  EXPECT_EQ(AnnouncedTracks(HeaderOf(Mthd(1, 300, 96))), 300);
}

struct Walked {
  ChunkWalk walk;
  std::string failure;
};

Walked Walk(const Bytes& file_bytes, int announced) {
  TempFolder folder;
  BinaryFile file(folder.Write("work.mid", file_bytes), BinaryFile::Mode::kRead);
  Walked walked;
  try {
    walked.walk = WalkChunks(file, static_cast<std::int64_t>(file_bytes.size()), announced);
  } catch (const RunError& error) {
    walked.failure = "error " + std::to_string(error.code());
  }
  return walked;
}

const Bytes kEnd = Hex("00 FF 2F 00");

TEST(ChunkStepsTest, TheWalkRecordsWhereEachTrackBeginsAndHowItEnded) {
  const Bytes one = kEnd;                                  // 8 + 4 bytes
  const Bytes two = Hex("00 90 3C 64 60 80 3C 00") + kEnd;  // 8 + 12 bytes
  const Bytes both = Smf(1, 96, {one, two});
  const struct {
    const char* name;
    Bytes bytes;
    int announced;
    ChunkWalkEnd end;
    int track;
    int count;
    std::int64_t after_last;  // TrackStart[count + 1]
  } cases[] = {
      {"two whole tracks", both, 2, ChunkWalkEnd::kEndOfFile, 0, 2, 15 + 12 + 20},
      {"a track without its end", Smf(0, 96, {Hex("00 90 3C 64")}), 1, ChunkWalkEnd::kNoEndOfTrack, 1, 1, 15 + 12},
      {"bytes after the announced tracks", both + "JUNKJUNK", 2, ChunkWalkEnd::kTrailingBytes, 3, 2, 15 + 32},
      {"a foreign chunk before them", Mthd(1, 2, 96) + Mtrk(one) + "XTRA" + Hex("00 00 00 00") + Mtrk(two), 2,
       ChunkWalkEnd::kForeignChunk, 2, 1, 15 + 12},
      {"a track cut short", both.substr(0, both.size() - 3), 2, ChunkWalkEnd::kCutShort, 0, 2,
       static_cast<std::int64_t>(both.size() - 3) + 1},
      {"an empty track", Smf(0, 96, {""}), 1, ChunkWalkEnd::kNoEndOfTrack, 1, 1, 15 + 8},
      {"an end of track without its FF", Smf(0, 96, {Hex("2F 00")}), 1, ChunkWalkEnd::kNoEndOfTrack, 1, 1, 15 + 10},
      // Fewer bytes than a chunk header after the last track: a track cut short all the same.
      {"three bytes after the tracks", both + "abc", 2, ChunkWalkEnd::kCutShort, 0, 3, 15 + 32 + 3},
      {"a chunk header cut short", both + "MTr", 2, ChunkWalkEnd::kCutShort, 0, 3, 15 + 32 + 3},
      // Only the length's low three bytes count: 01 00 00 0C is 12.
      {"a length's high byte", Smf(0, 96, {two}).replace(18, 1, "\x01"), 1, ChunkWalkEnd::kEndOfFile, 0, 1, 15 + 20},
  };
  for (const auto& c : cases) {
    const Walked walked = Walk(c.bytes, c.announced);
    ASSERT_EQ(walked.failure, "") << c.name;
    EXPECT_EQ(walked.walk.End, c.end) << c.name;
    EXPECT_EQ(walked.walk.Track, c.track) << c.name;
    EXPECT_EQ(walked.walk.Table.TrackCount, c.count) << c.name;
    EXPECT_EQ(walked.walk.Table.TrackStart[1], 15) << c.name;
    EXPECT_EQ(walked.walk.Table.TrackStart[static_cast<std::size_t>(c.count) + 1], c.after_last) << c.name;
    // Each track's chunk header as the repairs rewrite it: its 8 bytes, what the file holds of them.
    for (std::size_t track = 1; track <= static_cast<std::size_t>(c.count); ++track) {
      const TrackChunk& chunk = walked.walk.Table.TrackChunks[track];
      Bytes header = c.bytes.substr(static_cast<std::size_t>(walked.walk.Table.TrackStart[track] - 1), 8);
      header.resize(8, '\0');
      EXPECT_EQ(ToHex(Bytes(chunk.Id.begin(), chunk.Id.end()) + Bytes(chunk.Size.begin(), chunk.Size.end())), ToHex(header))
          << c.name << " track " << track;
    }
  }
}

TEST(ChunkStepsTest, AnEndOfTrackCutByTheBlocksStillEndsTheTrack) {
  // 5,000-byte blocks: the end of track's three bytes straddle the first block's end.
  for (std::size_t filler : {4996u, 4997u, 4998u, 4999u}) {
    const Walked walked = Walk(Smf(0, 96, {Bytes(filler, '\0') + kEnd}), 1);
    EXPECT_EQ(walked.walk.End, ChunkWalkEnd::kEndOfFile) << filler;
  }
}

TEST(ChunkStepsTest, MoreThanSeventyTwoTracksAreRefused) {
  const Bytes tracks72 = Smf(1, 96, std::vector<Bytes>(72, kEnd));
  const Walked walked = Walk(tracks72, 72);
  EXPECT_EQ(walked.failure + " " + std::to_string(walked.walk.Table.TrackCount), " 72");
  EXPECT_EQ(Walk(Smf(1, 96, std::vector<Bytes>(73, kEnd)), 73).failure, "error 9");
  // A 73rd chunk cut short by the end of the file is a 73rd track all the same.
  EXPECT_EQ(Walk(tracks72 + Mtrk(kEnd).substr(0, 11), 72).failure, "error 9");
}

}  // namespace
}  // namespace quavert
