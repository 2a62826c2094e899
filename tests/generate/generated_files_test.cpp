#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <set>

#include "bench_files.h"
#include "examples.h"
#include "loading/chunk_walker.h"
#include "loading/loaded_file.h"
#include "smf_walk.h"
#include "support/midi_bytes.h"
#include "support/session_fixture.h"

namespace quavert::generate {
namespace {

using testing::ReadFileBytes;
using testing::WalkedEvent;
using testing::WalkedFile;
using testing::WalkSmf;

const std::string kExamples = QUAVERT_EXAMPLES_FOLDER;

std::vector<WalkedEvent> ChannelEvents(const std::vector<WalkedEvent>& track) {
  std::vector<WalkedEvent> events;
  std::copy_if(track.begin(), track.end(), std::back_inserter(events), [](const WalkedEvent& e) { return e.status < 0xF0; });
  return events;
}

// The channel events of each track, counted.
std::vector<std::size_t> Counts(const WalkedFile& file) {
  std::vector<std::size_t> counts;
  for (const auto& track : file.tracks) counts.push_back(ChannelEvents(track).size());
  return counts;
}

// The exit status of quavert-generate with `arguments`, its output thrown away.
int Generate(const std::string& arguments) {
  const int status = std::system((QUAVERT_GENERATE_PROGRAM " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SmfWalkTest, RefusesWhatTheProgramCouldNotRead) {
  using testing::Hex;
  const std::string end = Hex("00 FF 2F 00");
  for (const Bytes& bad : {testing::Smf(0, 96, {Hex("00 90 3C 64")}), testing::Smf(0, 96, {Hex("80 00 FF 2F 00")}),
                           testing::Smf(0, 96, {Hex("00 3C 64") + end}), testing::Smf(0, 96, {Hex("00 F0 05 7E") + end}),
                           testing::Smf(0, 96, {end + Hex("00")}), testing::Smf(0, 96, {Hex("00 90 80 64") + end}),
                           testing::Smf(0, 96, {Hex("00 FF 01 81 00") + std::string(128, 'x') + end}),
                           testing::Smf(0, 0, {end}), testing::Mthd(1, 2, 96) + testing::Mtrk(end)})
    EXPECT_THROW(WalkSmf(bad), std::runtime_error) << testing::ToHex(bad);
  EXPECT_NO_THROW(WalkSmf(testing::Smf(1, 96, {Hex("00 90 3C 64 60 3C 00") + end, end})));
}

TEST(BenchFilesTest, EachFileIsValidAndHoldsExactlyItsEvents) {
  const struct {
    const char* name;
    int format;
    std::vector<std::size_t> counts;
    std::set<int> kinds;  // of its channel messages, 0xF0 for system exclusive
  } files[] = {
      {"single", 0, {16'000}, {0x90, 0xB0, 0xC0, 0xE0, 0xF0}},
      {"drums", 0, {16'000}, {0x90}},
      {"programs", 0, {16'000}, {0xC0}},
      {"medium", 1, std::vector<std::size_t>(16, 62'500), {0x90, 0xB0, 0xC0, 0xE0, 0xF0}},
  };
  for (const auto& expected : files) {
    WalkedFile file;
    ASSERT_NO_THROW(file = WalkSmf(MakeFile(*Preset(expected.name)))) << expected.name;
    EXPECT_EQ(file.format, expected.format) << expected.name;
    EXPECT_EQ(Counts(file), expected.counts) << expected.name;
    std::set<int> kinds;
    for (const auto& track : file.tracks)
      for (const WalkedEvent& event : track)
        if (event.status != 0xFF) kinds.insert(event.status & 0xF0);
    EXPECT_EQ(kinds, expected.kinds) << expected.name;
  }
}

TEST(BenchFilesTest, TheSameOptionsGiveTheSameBytesAndAnotherSeedOtherMusic) {
  for (const char* name : {"single", "drums", "programs"}) EXPECT_EQ(MakeFile(*Preset(name)), MakeFile(*Preset(name)));
  EXPECT_NE(MakeFile({Style::kSong, 1, 16'000, 2}), MakeFile(*Preset("single")));
}

TEST(BenchFilesTest, NoDrumKeyOrProgramFollowsItselfAndEveryOneIsUsed) {
  for (const auto& [name, used] : {std::pair{"drums", 62u}, std::pair{"programs", 128u}}) {
    std::set<int> values;
    int previous = -1;
    for (const WalkedEvent& event : ChannelEvents(WalkSmf(MakeFile(*Preset(name))).tracks[0])) {
      EXPECT_NE(event.data1, previous) << name;
      EXPECT_EQ((event.status & 0x0F) == 9, name == std::string("drums")) << name << ": channel 10 is for drums only";
      previous = event.data1;
      values.insert(event.data1);
    }
    EXPECT_EQ(values.size(), used) << name;
  }
}

TEST(BenchFilesTest, AnyCountIsSharedOutExactly) {
  for (const int tracks : {1, 3, 16, 72}) {
    for (const std::int64_t events : {0, 1, 2, 5, 150, 1003}) {
      const std::vector<std::size_t> counts = Counts(WalkSmf(MakeFile({Style::kSong, tracks, events, 7})));
      EXPECT_EQ(counts.size(), static_cast<std::size_t>(tracks));
      EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), events) << tracks << " tracks";
      EXPECT_LE(*std::max_element(counts.begin(), counts.end()) - *std::min_element(counts.begin(), counts.end()), 1u);
    }
  }
  for (const Style style : {Style::kDrums, Style::kPrograms})
    for (const std::int64_t events : {0, 1, 2, 3, 63, 124, 125})
      EXPECT_EQ(Counts(WalkSmf(MakeFile({style, 1, events, 1}))), std::vector<std::size_t>{std::size_t(events)});
}

TEST(ExamplesTest, TheCommittedFilesAreExactlyWhatTheGeneratorMakes) {
  std::set<std::string> made;
  for (const ExampleFile& example : ExampleFiles()) {
    made.insert(example.name);
    EXPECT_EQ(ReadFileBytes(kExamples + "/" + example.name), example.bytes)
        << example.name << " differs: run cmake --build build --target examples";
    EXPECT_NO_THROW(WalkSmf(example.bytes)) << example.name;
  }
  std::set<std::string> committed;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples))
    if (entry.path().extension() == ".mid") committed.insert(entry.path().filename().string());
  EXPECT_EQ(committed, made);
  EXPECT_TRUE(made.count("demo.mid")) << "the first run opens it";
}

TEST(GenerateProgramTest, WritesWhatItIsAskedForAndRefusesTheRest) {
  testing::TempFolder folder;
  ASSERT_EQ(Generate("examples " + folder.Path()), 0);
  for (const ExampleFile& example : ExampleFiles()) EXPECT_EQ(ReadFileBytes(folder.Join(example.name)), example.bytes);
  ASSERT_EQ(Generate("single " + folder.Join("a.mid") + " --events 100 --seed 7 --tracks 3"), 0);
  EXPECT_EQ(ReadFileBytes(folder.Join("a.mid")), MakeFile({Style::kSong, 3, 100, 7}));
  const std::string out = folder.Join("x.mid");
  for (const std::string& arguments : {std::string(), "huge " + out, "single " + out + " --tracks 73",
                                       "single " + out + " --events", "single " + out + " --events many",
                                       "drums " + out + " --tracks 2"})
    EXPECT_EQ(Generate(arguments), 2) << arguments;
  EXPECT_FALSE(std::filesystem::exists(out)) << "nothing written after a usage error";
  EXPECT_EQ(Generate("single " + folder.Join("no/such/folder/x.mid")), 1);
}

// The program's own chunk walker takes every file the generator makes without a word.
class WalkerAgreesTest : public testing::SessionTest {};

TEST_F(WalkerAgreesTest, TheProgramWalksEveryExampleAndTheMostTracksToTheirEnd) {
  std::vector<Bytes> files{MakeFile({Style::kSong, kMaxTracks, 5000, 3})};
  for (const ExampleFile& example : ExampleFiles()) files.push_back(example.bytes);
  for (const Bytes& bytes : files) {
    const int tracks = static_cast<int>(WalkSmf(bytes).tracks.size());
    session.file.WorkCopyName = kWorkCopyName;
    session.file.ShortName = "GENERATED.MID";
    session.file.FileSize = static_cast<std::int64_t>(bytes.size());
    session.file.TotalTracks = tracks;
    session.file.LoadState = kLoadNormal;
    testing::WriteFileBytes(session.WorkCopyPath(), bytes);
    WalkTrackChunks(session);
    EXPECT_EQ(session.tracks.TrackCount, tracks);
    EXPECT_EQ(session.tracks.TrackStart[tracks + 1], session.file.FileSize + 1);
    EXPECT_EQ(session.file.LoadState, kLoadNormal);
  }
  EXPECT_TRUE(ui.Messages.empty());
}

}  // namespace
}  // namespace quavert::generate
