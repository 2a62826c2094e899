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

class RoadTest : public ::testing::Test {
 protected:
  // The decisions of `count` roads: all No and nothing edited, all Yes and every edit, then
  // mixtures; a mixture alone when `count` is 1.
  std::vector<Bytes> Decisions(std::size_t count) {
    std::vector<Bytes> out;
    if (count > 1) out = {Bytes(64, '\0'), Bytes(64, '\xFF')};
    while (out.size() < count) {
      out.emplace_back(64, '\0');
      for (char& c : out.back()) c = static_cast<char>(random_());
    }
    return out;
  }

  // `file` with one to four bytes replaced by random ones, none in the first four (so that most
  // variants get past the header check and into the tracks).
  Bytes Flipped(Bytes file) {
    for (auto flips = 1 + random_() % 4; flips > 0 && file.size() > 4; --flips)
      file[4 + random_() % (file.size() - 4)] = static_cast<char>(random_());
    return file;
  }

  // Drives `input` down the road once per decision string; every check must hold.
  void ExpectSound(const std::string& what, const Bytes& input, const std::vector<Bytes>& decisions) {
    for (std::size_t k = 0; k < decisions.size(); ++k)
      for (const std::string& fault : fuzz::RunRoad(scratch_.folders, input, decisions[k]).Faults)
        ADD_FAILURE() << what << ", road " << k << ": " << fault;
  }

  testing::RoadScratch scratch_;
  std::mt19937_64 random_{1};  // the standard fixes its sequence, so every run flips the same bytes
};

// Every damaged file down several roads; the examples with bytes flipped, forty variants each;
// real files (when they could be fetched) whole down two roads and flipped down one.
TEST_F(RoadTest, DamagedFilesAndFlippedBytesKeepEveryCheck) {
  for (const testing::DamagedFile& damaged : testing::DamagedFiles()) ExpectSound(damaged.name, damaged.bytes, Decisions(4));
  for (const std::string& path : testing::ExamplePaths())
    for (int variant = 0; variant < 40; ++variant)
      ExpectSound(path + " variant " + std::to_string(variant), Flipped(ReadFileBytes(path)), Decisions(1));
  for (const std::string& path : testing::RealMidiFiles()) {
    ExpectSound(path, ReadFileBytes(path), Decisions(2));
    ExpectSound(path + " flipped", Flipped(ReadFileBytes(path)), Decisions(1));
  }
}

// The examples go all the way: every track listed, cells edited, both saves. The road's own
// checks would pass vacuously if it stopped at the load, so how far it got is checked too.
TEST_F(RoadTest, TheExamplesGoTheWholeRoad) {
  for (const std::string& path : testing::ExamplePaths()) {
    SCOPED_TRACE(path);
    for (const Bytes& decisions : Decisions(6)) {
      const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch_.folders, ReadFileBytes(path), decisions);
      EXPECT_TRUE(outcome.Faults.empty()) << outcome.Faults.front();
      EXPECT_TRUE(outcome.Loaded);
      EXPECT_EQ(outcome.ListsBuilt, outcome.Tracks);
      if (decisions != Bytes(64, '\xFF')) continue;
      // Every decision Yes: every track is saved, edited and saved again, and the Edit frame writes.
      EXPECT_EQ(outcome.TracksSaved, 2 * outcome.Tracks);
      EXPECT_GT(outcome.CellEdits, 0);
      EXPECT_TRUE(outcome.EditFrameSaved && outcome.MidiSaved);
    }
  }
}

}  // namespace
}  // namespace quavert
