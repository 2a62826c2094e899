#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/road.h"
#include "robustness/child_process.h"
#include "robustness/road_support.h"
#include "support/midi_bytes.h"

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

// How far the resident set of a child grows above where it stood while it drives `input` down
// the longest road (every question Yes, every command run), in kB; the road's faults fail the
// test. clear_refs resets the high-water mark, so the peak is the road's own.
std::int64_t GrowthOfRoad(const Bytes& input) {
  const testing::RoadScratch scratch;
  const testing::ChildResult result = testing::RunInChild({}, [&] {
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::int64_t start = StatusKb("VmRSS");
    const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch.folders, input, Bytes(64, '\xFF'));
    std::vector<std::string> lines = {std::to_string(StatusKb("VmHWM") - start)};
    lines.insert(lines.end(), outcome.Faults.begin(), outcome.Faults.end());
    return lines;
  });
  EXPECT_TRUE(result.clean) << "the child ended by signal " << result.signal;
  if (result.lines.empty()) return -1;
  for (std::size_t k = 1; k < result.lines.size(); ++k) ADD_FAILURE() << result.lines[k];
  return std::stoll(result.lines.front());
}

// The sanitizers keep freed memory in quarantine; their builds may grow by that much more.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int64_t kSlackKb = 64 * 1024;
#else
constexpr std::int64_t kSlackKb = 0;
#endif

// Fields that claim far more than the file holds cost what the file holds, not what they claim;
// the largest delta on every one of 20,000 events adds up to hours, and the memory stays with the
// events.
TEST(MemoryTest, HostileFieldsCostWhatTheFileHolds) {
  const Bytes notes = Hex("00 90 3C 64 60 80 3C 00");
  const Bytes end = Hex("00 FF 2F 00");
  const std::int64_t sound_kb = GrowthOfRoad(Smf(0, 96, {notes + end}));
  ASSERT_GT(sound_kb, 0);
  Bytes long_track = Smf(0, 96, {notes + end});
  long_track.replace(18, 4, Hex("00 FF FF FF"));  // a track of 16 MB, in a file of 34 bytes
  Bytes late_events = Hex("00");
  for (int i = 0; i < 10000; ++i) late_events += Hex("90 3C 64 FF FF FF 80 3C 00 FF FF FF");
  // Far below the 2 MB and 16 MB claimed; 20,000 rows in the list, its buffers and the window's
  // items at about 1 kB each at most.
  const std::tuple<const char*, Bytes, std::int64_t> cases[] = {
      {"track length 16 MB", long_track, sound_kb + 512},
      {"system exclusive of 2 MB", Smf(0, 96, {notes + Hex("00 F0 FF FF 7F 01 02 F7") + end}), sound_kb + 512},
      {"sequencer-specific of 2 MB", Smf(0, 96, {notes + Hex("00 FF 7F FF FF 7F 01 02") + end}), sound_kb + 512},
      {"text of 255 bytes, the file ends", Smf(0, 96, {Hex("00 FF 01 FF 41 42") + end}), sound_kb + 512},
      {"the largest delta on 20,000 events", Smf(0, 96, {late_events + Hex("FF 2F 00")}), 20 * 1024},
  };
  for (const auto& [name, file, most_kb] : cases) {
    const std::int64_t growth_kb = GrowthOfRoad(file);
    EXPECT_GT(growth_kb, 0) << name;
    EXPECT_LT(growth_kb, most_kb + kSlackKb) << name << ": the sound file's road took " << sound_kb << " kB";
  }
}

}  // namespace
}  // namespace quavert
