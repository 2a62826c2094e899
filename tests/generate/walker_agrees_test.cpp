#include <gtest/gtest.h>

#include "bench_files.h"
#include "examples.h"
#include "loading/chunk_walker.h"
#include "loading/loaded_file.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

// The program's own chunk walker takes every file the generator makes without a word.
class WalkerAgreesTest : public testing::SessionTest {
 protected:
  void Walk(const std::string& bytes, int tracks) {
    session.file.WorkCopyName = kWorkCopyName;
    session.file.ShortName = "GENERATED.MID";
    session.file.FileSize = static_cast<std::int64_t>(bytes.size());
    session.file.TotalTracks = tracks;
    session.file.LoadState = kLoadNormal;
    testing::WriteFileBytes(session.WorkCopyPath(), bytes);
    WalkTrackChunks(session);
  }
};

TEST_F(WalkerAgreesTest, EveryExampleWalksToItsEnd) {
  for (const generate::ExampleFile& example : generate::ExampleFiles()) {
    const int tracks = static_cast<unsigned char>(example.bytes[10]) * 256 + static_cast<unsigned char>(example.bytes[11]);
    Walk(example.bytes, tracks);
    EXPECT_EQ(session.tracks.TrackCount, tracks) << example.name;
    EXPECT_EQ(session.tracks.TrackStart[tracks + 1], static_cast<std::int64_t>(example.bytes.size()) + 1) << example.name;
    EXPECT_EQ(session.file.LoadState, kLoadNormal) << example.name;
    EXPECT_TRUE(ui.Messages.empty()) << example.name;
  }
}

TEST_F(WalkerAgreesTest, TheMostTracksTheProgramLoadsWalkToTheirEnd) {
  const std::string bytes = generate::MakeFile({generate::Style::kSong, generate::kMaxTracks, 5000, 3});
  Walk(bytes, generate::kMaxTracks);
  EXPECT_EQ(session.tracks.TrackCount, generate::kMaxTracks);
  EXPECT_EQ(session.tracks.TrackStart[generate::kMaxTracks + 1], static_cast<std::int64_t>(bytes.size()) + 1);
  EXPECT_TRUE(ui.Messages.empty());
}

}  // namespace
}  // namespace quavert
