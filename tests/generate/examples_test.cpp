#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "bench_files.h"
#include "examples.h"
#include "generate/midi_checks.h"
#include "generate/smf_walk.h"
#include "support/temp_folder.h"

namespace quavert::generate {
namespace {

using testing::ChannelEvents;
using testing::ContentsOf;
using testing::WalkedEvent;
using testing::WalkedFile;
using testing::WalkedTrack;
using testing::WalkSmf;

const std::string kExamples = QUAVERT_EXAMPLES_FOLDER;
const std::string kProgram = QUAVERT_GENERATE_PROGRAM;

WalkedFile Example(const std::string& name) {
  for (const ExampleFile& example : ExampleFiles()) {
    if (example.name == name) return WalkSmf(example.bytes);
  }
  throw std::logic_error("no example " + name);
}

std::vector<WalkedEvent> Metas(const WalkedTrack& track, int type) {
  std::vector<WalkedEvent> out;
  for (const WalkedEvent& event : track.events) {
    if (event.meta_type == type) out.push_back(event);
  }
  return out;
}

std::vector<WalkedEvent> Metas(const WalkedFile& file, int type) {
  std::vector<WalkedEvent> out;
  for (const WalkedTrack& track : file.tracks) {
    for (const WalkedEvent& event : Metas(track, type)) out.push_back(event);
  }
  return out;
}

// The meta events of a track that stand before its first channel or system-exclusive event.
std::set<int> OpeningMetaTypes(const WalkedTrack& track) {
  std::set<int> types;
  for (const WalkedEvent& event : track.events) {
    if (event.status != 0xFF) break;
    types.insert(event.meta_type);
  }
  return types;
}

// The exit status of a shell command, its output thrown away.
int Generate(const std::string& arguments) {
  const int status = std::system((kProgram + " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ExamplesTest, TheCommittedFilesAreExactlyWhatTheGeneratorMakes) {
  std::set<std::string> made;
  for (const ExampleFile& example : ExampleFiles()) {
    made.insert(example.name);
    EXPECT_EQ(testing::ReadFileBytes(kExamples + "/" + example.name), example.bytes)
        << example.name << " differs: run cmake --build build --target examples";
  }
  std::set<std::string> committed;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
    if (entry.path().extension() == ".mid") committed.insert(entry.path().filename().string());
  }
  EXPECT_EQ(committed, made);
  EXPECT_TRUE(made.count("demo.mid"));
}

TEST(ExamplesTest, EveryExampleIsAValidFileWithNoNoteLeftSounding) {
  for (const ExampleFile& example : ExampleFiles()) {
    WalkedFile file;
    ASSERT_NO_THROW(file = WalkSmf(example.bytes)) << example.name;
    EXPECT_EQ(testing::HangingNote(file), "") << example.name;
    EXPECT_LT(example.bytes.size(), 4096u) << example.name << " is meant to be small";
    for (const std::string& name : testing::TrackNames(file)) EXPECT_FALSE(name.empty()) << example.name;
  }
}

TEST(ExamplesTest, TheDemoIsAPieceForMelodyChordsBassAndDrums) {
  const WalkedFile demo = Example("demo.mid");
  EXPECT_EQ(demo.format, 1);
  EXPECT_EQ(testing::TrackNames(demo), (std::vector<std::string>{"Melody", "Strings", "Bass", "Drums"}));
  // Track 1, which the window shows first, opens with the tempo, meter, key and a marker.
  EXPECT_EQ(OpeningMetaTypes(demo.tracks[0]), (std::set<int>{0x01, 0x03, 0x06, 0x51, 0x58, 0x59}));
  const std::vector<WalkedEvent> tempos = Metas(demo, 0x51);
  ASSERT_EQ(tempos.size(), 1u);
  EXPECT_EQ(testing::BeatsPerMinute(tempos[0]), 96);
  EXPECT_EQ(Metas(demo, 0x58)[0].data, std::string("\x04\x02\x18\x08", 4));
  EXPECT_EQ(Metas(demo, 0x06).size(), 2u) << "a marker at the start and one in the middle";
  for (std::size_t t = 0; t < demo.tracks.size(); ++t) {
    const std::vector<WalkedEvent> events = ChannelEvents(demo.tracks[t]);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0].status & 0xF0, 0xC0) << "track " << t + 1 << " chooses its instrument first";
    EXPECT_GT(std::count_if(events.begin(), events.end(), [](const WalkedEvent& e) { return (e.status & 0xF0) == 0xB0; }), 2);
  }
  const testing::Contents contents = ContentsOf(demo);
  EXPECT_TRUE(contents.kinds.count(0xE0)) << "pitch bend";
  EXPECT_TRUE(contents.drum_keys.count(36) && contents.drum_keys.count(38) && contents.drum_keys.count(42));
  for (const WalkedEvent& event : ChannelEvents(demo.tracks[3])) EXPECT_EQ(event.status & 0x0F, 9);
  EXPECT_GT(contents.running_status_events, 0u);
}

TEST(ExamplesTest, TheWaltzIsOneTrackWithLyricsAndEveryStatusByteWritten) {
  const WalkedFile waltz = Example("waltz.mid");
  EXPECT_EQ(waltz.format, 0);
  ASSERT_EQ(waltz.tracks.size(), 1u);
  EXPECT_EQ(ContentsOf(waltz).running_status_events, 0u);
  std::string words;
  for (const WalkedEvent& lyric : Metas(waltz, 0x05)) words += lyric.data;
  EXPECT_EQ(words, "Round and round we go, we spin across the floor, light as a feather, we fly forevermore.");
  EXPECT_EQ(Metas(waltz, 0x58)[0].data.substr(0, 2), std::string("\x03\x02", 2));
  EXPECT_EQ(Metas(waltz, 0x59)[0].data, std::string("\x00\x01", 2)) << "A minor";
  std::set<int> channels;
  for (const WalkedEvent& event : ChannelEvents(waltz.tracks[0])) channels.insert(event.status & 0x0F);
  EXPECT_EQ(channels.size(), 3u);
}

TEST(ExamplesTest, TheTempoExampleChangesTempoAndMeterAmongItsNotes) {
  const WalkedFile file = Example("tempos.mid");
  const WalkedTrack& harp = file.tracks.at(0);
  std::vector<int> bpm;
  for (const WalkedEvent& tempo : Metas(harp, 0x51)) bpm.push_back(testing::BeatsPerMinute(tempo));
  EXPECT_EQ(bpm, (std::vector<int>{72, 84, 96, 108, 120, 132, 144, 160, 144, 120, 100, 72}));
  EXPECT_TRUE(OpeningMetaTypes(harp).count(0x51)) << "the first tempo is the file's own";
  std::vector<std::string> meters;
  for (const WalkedEvent& signature : Metas(harp, 0x58)) {
    meters.push_back(std::to_string(signature.data[0]) + "/" + std::to_string(1 << signature.data[1]));
  }
  EXPECT_EQ(meters, (std::vector<std::string>{"4/4", "3/4", "6/8"}));
  EXPECT_GT(Metas(harp, 0x58).back().tick, ChannelEvents(harp).front().tick);
}

TEST(ExamplesTest, TheSysexExampleHoldsWholeAndSplitMessagesAndTheRarerEvents) {
  const WalkedFile file = Example("sysex.mid");
  std::vector<WalkedEvent> packets;
  for (const WalkedEvent& event : file.tracks.at(0).events) {
    if (event.status == 0xF0 || event.status == 0xF7) packets.push_back(event);
  }
  ASSERT_EQ(packets.size(), 8u);
  EXPECT_EQ(packets[2].status, 0xF0);
  EXPECT_NE(packets[2].data.back(), '\xF7') << "a first packet leaves the message open";
  EXPECT_EQ(packets[3].status, 0xF7);
  EXPECT_EQ(packets[3].data.back(), '\xF7');
  EXPECT_EQ(OpeningMetaTypes(file.tracks[0]),
            (std::set<int>{0x02, 0x03, 0x04, 0x20, 0x21, 0x51, 0x54, 0x58, 0x59, 0x7F}));
  const testing::Contents contents = ContentsOf(file);
  EXPECT_TRUE(contents.kinds.count(0xA0)) << "polyphonic pressure";
  EXPECT_TRUE(contents.kinds.count(0xD0)) << "channel pressure";
  EXPECT_TRUE(contents.meta_types.count(0x01)) << "a text among the timed events";
}

TEST(ExamplesTest, TheProgramWritesTheExamplesAndTheBenchmarkFiles) {
  testing::TempFolder folder;
  ASSERT_EQ(Generate("examples " + folder.Path()), 0);
  for (const ExampleFile& example : ExampleFiles()) {
    EXPECT_EQ(testing::ReadFileBytes(folder.Join(example.name)), testing::ReadFileBytes(kExamples + "/" + example.name))
        << example.name;
  }
  ASSERT_EQ(Generate("single " + folder.Join("a.mid") + " --events 100 --seed 7 --tracks 3"), 0);
  EXPECT_EQ(testing::ReadFileBytes(folder.Join("a.mid")), MakeFile({Style::kSong, 3, 100, 7}));
  ASSERT_EQ(Generate("drums " + folder.Join("d.mid") + " --events 300"), 0);
  EXPECT_EQ(testing::ReadFileBytes(folder.Join("d.mid")), MakeFile({Style::kDrums, 1, 300, 1}));
}

TEST(ExamplesTest, TheProgramRefusesWhatItCannotMake) {
  testing::TempFolder folder;
  const std::string out = folder.Join("x.mid");
  EXPECT_EQ(Generate(""), 2);
  EXPECT_EQ(Generate("huge " + out), 2);
  EXPECT_EQ(Generate("single " + out + " --tracks 73"), 2);
  EXPECT_EQ(Generate("single " + out + " --events"), 2);
  EXPECT_EQ(Generate("single " + out + " --events many"), 2);
  EXPECT_EQ(Generate("drums " + out + " --tracks 2"), 2);
  EXPECT_EQ(Generate("single " + out + " --colour red"), 2);
  EXPECT_FALSE(std::filesystem::exists(out)) << "nothing written after a usage error";
  EXPECT_EQ(Generate("single " + folder.Join("no/such/folder/x.mid")), 1);
}

}  // namespace
}  // namespace quavert::generate
