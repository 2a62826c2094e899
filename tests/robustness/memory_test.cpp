#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/road.h"
#include "robustness/child_process.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Smf;

// A value of the process's /proc status in kB ("VmRSS", "VmHWM").
std::int64_t StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field + ":")) return std::stoll(line.substr(field.size() + 1));
  return -1;
}

// Drives `input` down the road in a child process and returns how far its resident set grew
// above what it held when it started, in kB, with the road's faults; the peak is measured from
// the start of the road (clear_refs resets the high-water mark).
struct Measured {
  std::int64_t growth_kb = -1;
  std::vector<std::string> faults;
};

Measured GrowthOfRoad(const Bytes& input) {
  testing::TempFolder root;
  const fuzz::RoadFolders folders = {root.Join("app"), root.Join("user"), root.Join("current")};
  for (const std::string& folder : {folders.App, folders.User, folders.Current}) std::filesystem::create_directory(folder);
  const char* genmidi = std::getenv("QUAVERT_GENMIDI");
  fuzz::InstallGenmidi(folders, genmidi != nullptr ? genmidi : "");

  const testing::ChildResult result = testing::RunInChild({}, [&] {
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::int64_t start = StatusKb("VmRSS");
    // Every question Yes and every command run: the longest road.
    const fuzz::RoadOutcome outcome = fuzz::RunRoad(folders, input, Bytes(64, '\xFF'));
    std::vector<std::string> lines = {std::to_string(StatusKb("VmHWM") - start)};
    for (const std::string& fault : outcome.Faults) lines.push_back(fault);
    return lines;
  });
  Measured measured;
  EXPECT_TRUE(result.exited && result.exit_code == 0) << "the child ended by signal " << result.signal;
  if (result.lines.empty()) return measured;
  measured.growth_kb = std::stoll(result.lines.front());
  measured.faults.assign(result.lines.begin() + 1, result.lines.end());
  return measured;
}

// The sanitizers keep freed memory in quarantine; their builds may grow by that much more.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int64_t kSlackKb = 64 * 1024;
#else
constexpr std::int64_t kSlackKb = 0;
#endif

// Fields that claim far more than the file holds cost what the file holds, not what they claim.
TEST(MemoryTest, LengthsThatClaimMegabytesCostWhatTheFileHolds) {
  const Bytes notes = Hex("00 90 3C 64 60 80 3C 00");
  struct Case {
    const char* name;
    Bytes file;
  };
  Bytes long_track = Smf(0, 96, {notes + Hex("00 FF 2F 00")});
  long_track.replace(18, 4, Hex("00 FF FF FF"));  // a track of 16 MB, in a file of 34 bytes
  const std::vector<Case> cases = {
      {"track length 16 MB", long_track},
      {"system exclusive of 2 MB", Smf(0, 96, {notes + Hex("00 F0 FF FF 7F 01 02 F7 00 FF 2F 00")})},
      {"sequencer-specific of 2 MB", Smf(0, 96, {notes + Hex("00 FF 7F FF FF 7F 01 02 00 FF 2F 00")})},
      {"text of 255 bytes, the file ends", Smf(0, 96, {Hex("00 FF 01 FF 41 42 00 FF 2F 00")})},
  };
  // What the road costs for a sound file of that size.
  const Measured sound = GrowthOfRoad(Smf(0, 96, {notes + Hex("00 FF 2F 00")}));
  ASSERT_GT(sound.growth_kb, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Measured measured = GrowthOfRoad(c.file);
    EXPECT_TRUE(measured.faults.empty()) << measured.faults.front();
    EXPECT_GT(measured.growth_kb, 0);
    // Far below the 2 MB and 16 MB claimed.
    EXPECT_LT(measured.growth_kb, sound.growth_kb + 512 + kSlackKb) << "the sound file's road took "
                                                                      << sound.growth_kb << " kB";
  }
}

// The largest delta on every one of 20,000 events: the times add up to hours, the memory stays
// with the events.
TEST(MemoryTest, TheLargestDeltaOnEveryEventCostsWhatTheEventsHold) {
  Bytes data = Hex("00");
  for (int i = 0; i < 10000; ++i) data += Hex("90 3C 64 FF FF FF 80 3C 00 FF FF FF");
  const Bytes file = Smf(0, 96, {data + Hex("FF 2F 00")});
  const Measured measured = GrowthOfRoad(file);
  EXPECT_TRUE(measured.faults.empty()) << measured.faults.front();
  EXPECT_GT(measured.growth_kb, 0);
  // 20,000 rows in the list, its buffers and the window's items, about 1 kB each at most.
  EXPECT_LT(measured.growth_kb, 20 * 1024 + kSlackKb);
}

}  // namespace
}  // namespace quavert
