#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "commands/load_driver.h"
#include "examples.h"
#include "fuzz/road.h"
#include "robustness/child_process.h"
#include "robustness/damaged_files.h"
#include "support/real_midi.h"
#include "support/session_fixture.h"
#include "support/valid_corners.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::DamagedFile;
using testing::Reaches;
using testing::Hex;
using testing::ReadFileBytes;
using testing::Smf;

// The road's three folders under a temporary folder of their own, with the build's genmidi.ini.
struct RoadScratch {
  testing::TempFolder root;
  fuzz::RoadFolders folders = fuzz::MakeRoadFolders(root.Path(), std::getenv("QUAVERT_GENMIDI"));
};

// 1 for each of `controls` enabled, 0 for each disabled.
std::string Enabled(const RecordingToolkit& ui, const std::vector<Control>& controls) {
  std::string flags;
  for (Control control : controls) flags += ui.IsEnabled(control) ? '1' : '0';
  return flags;
}

using DamagedFileTest = testing::SessionTest;

// One session opens every damaged file in turn, every question answered No, as a user going
// through a folder of broken files would: each shows its messages and leaves the state its damage
// implies. That the user's file stays as it came and that a sound file loads next, the road
// checks for every damaged file below; the repairs have their own tests.
TEST_F(DamagedFileTest, EachDamageShowsItsMessagesAndLeavesItsState) {
  for (const DamagedFile& damaged : testing::DamagedFiles()) {
    SCOPED_TRACE(damaged.name);
    ui.ClearLog();
    ui.Answers.assign(4, Answer::kNo);
    OpenMidiFile(session, UserFile("SONG.MID", damaged.bytes));
    EXPECT_EQ(ui.MessageTexts(), damaged.messages);
    const bool rejected = damaged.reaches == Reaches::kRejected;
    EXPECT_EQ(session.file.FileLoaded, !rejected);
    EXPECT_EQ(session.file.LoadState, rejected ? kLoadFailed : kLoadNormal);
    EXPECT_EQ(static_cast<int>(ui.ComboItems.size()), damaged.tracks);
    if (damaged.reaches == Reaches::kDecoded) {
      EXPECT_EQ(Enabled(ui, {Control::mnuSave, Control::mnuPlay, Control::Command2, Control::Text5, Control::Command1}),
                session.decoder.LastEventIndex >= 0 ? "11111" : "11110");
    } else {
      EXPECT_EQ(Enabled(ui, {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6, Control::Text5,
                             Control::Command2, Control::mnuPlay, Control::Toolbar2Button4}),
                "00000000");
    }
    EXPECT_TRUE(!rejected || media.Commands.back() == "Close REDevid1 notify") << "a rejected file leaves the device closed";
    EXPECT_FALSE(ui.IsEnabled(Control::Command5) || ui.Busy);
  }
}

class RoadTest : public ::testing::Test {
 protected:
  // The decisions of `count` roads: all No and nothing edited, all Yes and every edit, then
  // mixtures; a mixture alone when `count` is 1.
  std::vector<Bytes> Decisions(std::size_t count) {
    std::vector<Bytes> out;
    if (count > 1) out = {Bytes(64, '\0'), Bytes(64, '\xFF')};
    while (out.size() < count)
      for (char& c : out.emplace_back(64, '\0')) c = static_cast<char>(random_());
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

  RoadScratch scratch_;
  std::mt19937_64 random_{1};  // the standard fixes its sequence, so every run flips the same bytes
};

// Every damaged file down several roads; the example files with bytes flipped, forty variants each;
// real files (when they could be fetched) whole down two roads and flipped down one.
TEST_F(RoadTest, DamagedFilesAndFlippedBytesKeepEveryCheck) {
  for (const testing::DamagedFile& damaged : testing::DamagedFiles()) ExpectSound(damaged.name, damaged.bytes, Decisions(4));
  for (const generate::ExampleFile& example : generate::ExampleFiles())
    for (int variant = 0; variant < 40; ++variant)
      ExpectSound(example.name + " variant " + std::to_string(variant), Flipped(example.bytes), Decisions(1));
  for (const std::string& path : testing::RealMidiFiles()) {
    ExpectSound(path, ReadFileBytes(path), Decisions(2));
    ExpectSound(path + " flipped", Flipped(ReadFileBytes(path)), Decisions(1));
  }
}

// The examples go all the way: every track listed, cells edited, both saves. The road's own
// checks would pass vacuously if it stopped at the load, so how far it got is checked too.
TEST_F(RoadTest, TheExamplesGoTheWholeRoad) {
  for (const generate::ExampleFile& example : generate::ExampleFiles())
    for (const Bytes& decisions : Decisions(6)) {
      SCOPED_TRACE(example.name);
      const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch_.folders, example.bytes, decisions);
      EXPECT_EQ(outcome.Faults, std::vector<std::string>{});
      EXPECT_TRUE(outcome.Loaded && outcome.ListsBuilt == outcome.Tracks);
      EXPECT_EQ(outcome.ValidFilesSaved, 1) << "a valid file is saved unedited first";
      // Every decision Yes: every track is saved, edited and saved again, and both saves write.
      const bool all_yes = decisions == Bytes(64, '\xFF');
      EXPECT_TRUE(!all_yes || (outcome.TracksSaved == 2 * outcome.Tracks && outcome.CellEdits > 0 &&
                               outcome.RowEdits > 0 && outcome.Undone == outcome.Tracks && outcome.EditFrameSaved &&
                               outcome.MidiSaved));
    }
}

// Valid files at the corners of the format: the unedited saves keep every event, and the rest of
// the road holds.
TEST_F(RoadTest, ValidCornerFilesKeepEveryEventThroughAnUneditedSave) {
  for (const testing::CornerFile& corner : testing::ValidCornerFiles()) {
    SCOPED_TRACE(corner.name);
    const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch_.folders, corner.bytes, Decisions(1).front());
    EXPECT_EQ(outcome.Faults, std::vector<std::string>{});
    EXPECT_EQ(outcome.ValidFilesSaved, 1);
  }
}

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
  const RoadScratch scratch;
  const testing::ChildResult result = testing::RunInChild({}, [&] {
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::int64_t start = StatusKb("VmRSS");
    const fuzz::RoadOutcome outcome = fuzz::RunRoad(scratch.folders, input, Bytes(64, '\xFF'));
    std::vector<std::string> lines = {std::to_string(StatusKb("VmHWM") - start)};
    lines.insert(lines.end(), outcome.Faults.begin(), outcome.Faults.end());
    return lines;
  });
  EXPECT_TRUE(result.clean) << "the child ended by signal " << result.signal;
  for (std::size_t k = 1; k < result.lines.size(); ++k) ADD_FAILURE() << result.lines[k];
  return result.lines.empty() ? -1 : std::stoll(result.lines.front());
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
  // The resident set at the start varies with what the machine does meanwhile by some hundred kB:
  // the bound is the most of three roads of a sound file.
  std::int64_t sound_kb = 0;
  for (int run = 0; run < 3; ++run) sound_kb = std::max(sound_kb, GrowthOfRoad(Smf(0, 96, {notes + end})));
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
