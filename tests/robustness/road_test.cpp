#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fuzz/road.h"
#include "robustness/damaged_files.h"
#include "robustness/road_support.h"
#include "support/real_midi.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::ReadFileBytes;
// The standard fixes this engine's sequence, so every run flips the same bytes.
using Random = std::mt19937_64;

Bytes RandomDecisions(Random& random) {
  Bytes decisions(64, '\0');
  for (char& c : decisions) c = static_cast<char>(random());
  return decisions;
}

// The decisions of `count` roads: all No and nothing edited, all Yes and every edit, then mixtures.
std::vector<Bytes> Decisions(std::size_t count, Random& random) {
  std::vector<Bytes> out = {Bytes(64, '\0'), Bytes(64, '\xFF')};
  while (out.size() < count) out.push_back(RandomDecisions(random));
  out.resize(count);
  return out;
}

// `file` with one to four bytes replaced by random ones, none in the first four (so that most
// variants get past the header check and into the tracks).
Bytes Flipped(Bytes file, Random& random) {
  for (auto flips = 1 + random() % 4; flips > 0 && file.size() > 4; --flips)
    file[4 + random() % (file.size() - 4)] = static_cast<char>(random());
  return file;
}

class RoadTest : public ::testing::Test {
 protected:
  // Drives `input` down the road once per decision string; every check must hold.
  void ExpectSound(const std::string& what, const Bytes& input, const std::vector<Bytes>& decisions) {
    for (std::size_t k = 0; k < decisions.size(); ++k)
      for (const std::string& fault : fuzz::RunRoad(scratch_.folders, input, decisions[k]).Faults)
        ADD_FAILURE() << what << ", road " << k << ": " << fault;
  }

  testing::RoadScratch scratch_;
  Random random_{1};
};

TEST_F(RoadTest, EveryDamagedFileDownSeveralRoads) {
  for (const testing::DamagedFile& damaged : testing::DamagedFiles())
    ExpectSound(damaged.name, damaged.bytes, Decisions(4, random_));
}

// The examples go all the way: every track listed, cells edited, both saves. The road's own
// checks would pass vacuously if it stopped at the load, so how far it got is checked too.
TEST_F(RoadTest, TheExamplesGoTheWholeRoad) {
  for (const std::string& path : testing::ExamplePaths()) {
    SCOPED_TRACE(path);
    const Bytes bytes = ReadFileBytes(path);
    for (const Bytes& decisions : Decisions(6, random_)) {
      const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch_.folders, bytes, decisions);
      EXPECT_TRUE(outcome.Faults.empty()) << outcome.Faults.front();
      EXPECT_TRUE(outcome.Loaded);
      EXPECT_EQ(outcome.ListsBuilt, outcome.Tracks);
    }
    // Every decision Yes: every track is saved and the Edit frame writes.
    const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch_.folders, bytes, Bytes(64, '\xFF'));
    EXPECT_EQ(outcome.TracksSaved, 2 * outcome.Tracks);  // each saved, edited and saved again
    EXPECT_GT(outcome.CellEdits, 0);
    EXPECT_TRUE(outcome.EditFrameSaved);
    EXPECT_TRUE(outcome.MidiSaved);
  }
}

// The examples with bytes flipped, forty variants each; real files (when they could be fetched)
// whole down two roads and flipped down one.
TEST_F(RoadTest, ExamplesAndRealFilesWithBytesFlipped) {
  for (const std::string& path : testing::ExamplePaths())
    for (int variant = 0; variant < 40; ++variant) {
      const Bytes flipped = Flipped(ReadFileBytes(path), random_);
      ExpectSound(path + " variant " + std::to_string(variant), flipped, {RandomDecisions(random_)});
    }
  for (const std::string& path : testing::RealMidiFiles()) {
    const Bytes bytes = ReadFileBytes(path);
    ExpectSound(path, bytes, Decisions(2, random_));
    const Bytes flipped = Flipped(bytes, random_);
    ExpectSound(path + " flipped", flipped, {RandomDecisions(random_)});
  }
}

}  // namespace
}  // namespace quavert
