#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/road.h"
#include "robustness/damaged_files.h"
#include "robustness/example_paths.h"
#include "support/real_midi.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::ReadFileBytes;
using testing::TempFolder;

// A small deterministic generator, so that every run flips the same bytes.
class XorShift {
 public:
  explicit XorShift(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }

 private:
  std::uint64_t state_;
};

// Decisions of a road taken at random.
Bytes RandomDecisions(std::uint64_t seed) {
  XorShift random(seed);
  Bytes decisions(64, '\0');
  for (char& c : decisions) c = static_cast<char>(random.Next());
  return decisions;
}

// The decisions of `count` roads: all No and nothing edited, all Yes and every edit, then mixtures.
std::vector<Bytes> Decisions(int count, std::uint64_t seed) {
  std::vector<Bytes> out = {Bytes(64, '\0'), Bytes(64, '\xFF')};
  while (static_cast<int>(out.size()) < count) out.push_back(RandomDecisions(seed + out.size()));
  out.resize(static_cast<std::size_t>(count));
  return out;
}

// `file` with a few bytes replaced by random ones, none in the first four (so that most variants
// get past the header check and into the tracks).
Bytes Flipped(Bytes file, XorShift& random) {
  if (file.size() <= 4) return file;
  const std::uint64_t flips = 1 + random.Below(4);
  for (std::uint64_t i = 0; i < flips; ++i)
    file[4 + random.Below(file.size() - 4)] = static_cast<char>(random.Next());
  return file;
}

class RoadTest : public ::testing::Test {
 protected:
  RoadTest() {
    folders_ = {root_.Join("app"), root_.Join("user"), root_.Join("current")};
    for (const std::string& folder : {folders_.App, folders_.User, folders_.Current})
      std::filesystem::create_directory(folder);
    const char* genmidi = std::getenv("QUAVERT_GENMIDI");
    fuzz::InstallGenmidi(folders_, genmidi != nullptr ? genmidi : "");
  }

  // Drives `input` down the road once per decision string; every check must hold.
  void ExpectSound(const std::string& what, const Bytes& input, const std::vector<Bytes>& decisions) {
    for (std::size_t k = 0; k < decisions.size(); ++k) {
      const fuzz::RoadOutcome outcome = fuzz::RunRoad(folders_, input, decisions[k]);
      for (const std::string& fault : outcome.Faults) ADD_FAILURE() << what << ", road " << k << ": " << fault;
    }
  }

  TempFolder root_;
  fuzz::RoadFolders folders_;
};

TEST_F(RoadTest, EveryDamagedFileDownSeveralRoads) {
  for (const testing::DamagedFile& damaged : testing::DamagedFiles())
    ExpectSound(damaged.name, damaged.bytes, Decisions(4, 1));
}

// The examples go all the way: every track listed, cells edited, both saves. The road's own
// checks would pass vacuously if it stopped at the load, so how far it got is checked too.
TEST_F(RoadTest, TheExamplesGoTheWholeRoad) {
  for (const std::string& path : testing::ExamplePaths()) {
    SCOPED_TRACE(path);
    const Bytes bytes = ReadFileBytes(path);
    for (const Bytes& decisions : Decisions(6, 2)) {
      const fuzz::RoadOutcome outcome = fuzz::RunRoad(folders_, bytes, decisions);
      EXPECT_TRUE(outcome.Faults.empty()) << outcome.Faults.front();
      EXPECT_TRUE(outcome.Loaded);
      EXPECT_EQ(outcome.ListsBuilt, outcome.Tracks);
    }
    // Every decision Yes: every track is saved and the Edit frame writes.
    const fuzz::RoadOutcome outcome = fuzz::RunRoad(folders_, bytes, Bytes(64, '\xFF'));
    EXPECT_EQ(outcome.TracksSaved, 2 * outcome.Tracks);  // each saved, edited and saved again
    EXPECT_GT(outcome.CellEdits, 0);
    EXPECT_TRUE(outcome.EditFrameSaved);
    EXPECT_TRUE(outcome.MidiSaved);
  }
}

TEST_F(RoadTest, TheExamplesWithBytesFlipped) {
  XorShift random(3);
  for (const std::string& path : testing::ExamplePaths()) {
    const Bytes bytes = ReadFileBytes(path);
    for (int variant = 0; variant < 40; ++variant)
      ExpectSound(path + " variant " + std::to_string(variant), Flipped(bytes, random), {RandomDecisions(variant)});
  }
}

TEST_F(RoadTest, RealFilesAndTheirFlippedVariants) {
  const std::vector<std::string>& paths = testing::RealMidiFiles();
  if (paths.empty()) GTEST_SKIP() << "no real MIDI files could be fetched (offline)";
  XorShift random(4);
  for (const std::string& path : paths) {
    const Bytes bytes = ReadFileBytes(path);
    ExpectSound(path, bytes, Decisions(2, 5));
    ExpectSound(path + " flipped", Flipped(bytes, random), {RandomDecisions(7)});
  }
}

}  // namespace
}  // namespace quavert
