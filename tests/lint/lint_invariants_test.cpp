#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "examples.h"
#include "fuzz/lint_invariants.h"
#include "robustness/damaged_files.h"
#include "support/session_fixture.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;

class LintInvariantsTest : public ::testing::Test {
 protected:
  LintInvariantsTest() : folders{root.Join("app"), root.Join("user"), root.Join("current")} {
    for (const std::string& folder : {folders.App, folders.User, folders.Current})
      std::filesystem::create_directory(folder);
    testing::InstallGenmidi(folders.App);
  }
  void ExpectHolds(const Bytes& bytes, const std::string& name) {
    EXPECT_EQ(fuzz::CheckLint(folders, bytes), std::vector<std::string>{}) << name << ": " << testing::ToHex(bytes);
  }
  testing::TempFolder root;
  fuzz::RoadFolders folders;
};

// The fuzz target's lint promises hold on every damaged file, and on the examples and damaged
// files with a few bytes changed at random.
TEST_F(LintInvariantsTest, HoldOnDamagedAndMutatedFiles) {
  std::vector<Bytes> seeds;
  for (const testing::DamagedFile& damaged : testing::DamagedFiles()) {
    ExpectHolds(damaged.bytes, damaged.name);
    if (damaged.bytes.size() < 2000) seeds.push_back(damaged.bytes);
  }
  for (const generate::ExampleFile& example : generate::ExampleFiles()) {
    seeds.push_back(example.bytes);
    seeds.push_back(testing::Rmid(example.bytes, "LIST" + testing::Hex("04 00 00 00") + "INFO"));
  }
  std::mt19937_64 random{7};  // the standard fixes its sequence: every run changes the same bytes
  for (int round = 0; round < 400; ++round) {
    Bytes bytes = seeds[random() % seeds.size()];
    if (bytes.empty()) continue;
    for (int k = 0, changes = 1 + static_cast<int>(random() % 3); k < changes; ++k)
      bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
    ExpectHolds(bytes, "round " + std::to_string(round));
  }
}

}  // namespace
}  // namespace quavert
