#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numeric>
#include <ranges>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "bench_files.h"
#include "examples.h"
#include "support/midi_bytes.h"
#include "support/standard_reader.h"
#include "support/temp_folder.h"

namespace quavert::generate {
namespace {

using testing::ReadFileBytes;

// One event of a track: `kind` is the status in force (the running one when the event has none
// of its own), or 0xFF00 plus the type of a meta event; `data1` its first data byte.
struct WalkedEvent {
  int kind = 0;
  int data1 = -1;
};
constexpr int kEndOfTrack = 0xFF2F;

struct WalkedFile {
  int format = 0;
  std::vector<std::vector<WalkedEvent>> tracks;  // each ends with its end of track
};

// Reads a whole Standard MIDI File as the standard describes it and holds it to what the program
// reads: format 0 with one track or format 1, a division of 1..32767 ticks, the announced number
// of "MTrk" chunks and no other, numbers in their shortest form within the three bytes the program
// reads, meta lengths below 128 but for the sequencer-specific event, an end of track of length 0,
// data bytes below 128. std::runtime_error naming what is wrong otherwise.
WalkedFile WalkSmf(std::string_view bytes) {
  const testing::StandardFile standard = testing::ReadStandardFile(bytes);
  const auto require = [](bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
  };
  const auto big16 = [&](std::size_t at) { return static_cast<std::uint8_t>(bytes[at]) << 8 | static_cast<std::uint8_t>(bytes[at + 1]); };
  WalkedFile file{big16(8), {}};
  require(file.format == 1 || (file.format == 0 && big16(10) == 1), "a format other than 0 with one track, or 1");
  require(big16(12) >= 1 && big16(12) <= 0x7FFF, "a division the program refuses");
  require(standard.shortest_numbers && standard.longest_number <= 3, "a number not in its shortest form or too long");
  for (const testing::StandardChunk& chunk : standard.chunks) {
    require(chunk.id == "MTrk", "a chunk other than MTrk");
    auto& events = file.tracks.emplace_back();
    for (const testing::StandardEvent& read : chunk.events) {
      const bool meta = read.status == 0xFF;
      WalkedEvent& event = events.emplace_back(meta ? 0xFF00 | static_cast<std::uint8_t>(read.data[0]) : read.status);
      if (meta) require(event.kind == 0xFF7F || read.data.size() <= (event.kind == kEndOfTrack ? 1u : 128u), "a meta length");
      if (read.status >= 0xF0) continue;
      event.data1 = static_cast<std::uint8_t>(read.data[0]);
      require(std::ranges::none_of(read.data, [](char c) { return static_cast<std::uint8_t>(c) >= 0x80; }),
              "a data byte of 128 or more");
    }
  }
  require(file.tracks.size() == static_cast<std::size_t>(big16(10)), "a track count other than the chunks'");
  return file;
}

// The channel events of each track, counted, and what the benchmarks look for in them, in words.
std::pair<std::vector<std::int64_t>, std::set<std::string>> Contents(const WalkedFile& file) {
  const std::map<int, std::string> words = {{0xFF03, "names"}, {0xFF51, "tempo"},     {0xFF58, "meter"},
                                            {0x90, "notes"},    {0x99, "drums"},      {0xB0, "controllers"},
                                            {0xC0, "programs"}, {0xE0, "pitch bend"}, {0xF0, "sysex"}};
  std::pair<std::vector<std::int64_t>, std::set<std::string>> contents;
  for (const auto& track : file.tracks) {
    contents.first.push_back(std::count_if(track.begin(), track.end(), [](auto& e) { return e.kind < 0xF0; }));
    for (const WalkedEvent& e : track)
      for (int key : {e.kind < 0xF0 ? e.kind & 0xF0 : e.kind, e.kind})
        if (words.contains(key)) contents.second.insert(words.at(key));
  }
  return contents;
}

// The exit status of quavert-generate with `arguments`, its output thrown away.
int Generate(const std::string& arguments) {
  const int status = std::system((QUAVERT_GENERATE_PROGRAM " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each named file is valid, the same every time, and holds exactly its channel events and what
// the benchmarks need; the drum keys and programs of their own files never repeat a neighbour
// and all are used. Any other count is shared out exactly too.
TEST(BenchFilesTest, EachFileIsValidRepeatableAndHoldsWhatTheBenchmarksNeed) {
  const std::set<std::string> song = {"controllers", "drums", "meter",      "names", "notes",
                                      "pitch bend",  "programs", "sysex", "tempo"};
  const struct {
    const char* name;
    std::vector<std::int64_t> counts;  // one per track: 16 make a format-1 file
    std::set<std::string> kinds;
    std::size_t distinct;  // first data bytes, neighbours never equal; 0 when they may be
  } files[] = {
      {"single", {16'000}, song, 0},
      {"medium", std::vector<std::int64_t>(16, 62'500), song, 0},
      {"drums", {16'000}, {"drums", "names", "notes", "tempo"}, 62},
      {"programs", {16'000}, {"names", "programs", "tempo"}, 128},
  };
  for (const auto& expected : files) {
    SCOPED_TRACE(expected.name);
    const Bytes bytes = MakeFile(*Preset(expected.name));
    const WalkedFile file = WalkSmf(bytes);
    EXPECT_EQ(file.format, expected.counts.size() > 1);
    EXPECT_EQ(Contents(file), std::pair(expected.counts, expected.kinds));
    EXPECT_EQ(MakeFile(*Preset(expected.name)), bytes);
    if (expected.distinct == 0) continue;
    std::set<int> values;
    int previous = -1;
    for (const WalkedEvent& event : file.tracks[0] | std::views::filter([](auto& e) { return e.kind < 0xF0; })) {
      EXPECT_NE(event.data1, std::exchange(previous, event.data1)) << "a neighbour repeated";
      EXPECT_EQ((event.kind & 0x0F) == 9, expected.kinds.contains("drums")) << "channel 10 is for drums only";
      values.insert(event.data1);
    }
    EXPECT_EQ(values.size(), expected.distinct);
  }
  EXPECT_NE(MakeFile({Style::kSong, 1, 16'000, 2}), MakeFile(*Preset("single")));
  // Any count is shared out over the tracks exactly, differing by one at most.
  for (const auto& [style, tracks] : {std::pair{Style::kSong, 1}, {Style::kSong, 3}, {Style::kSong, kMaxTracks},
                                      {Style::kDrums, 1}, {Style::kPrograms, 1}})
    for (const std::int64_t events : {0, 1, 2, 5, 63, 125, 1003}) {
      const std::vector<std::int64_t> counts = Contents(WalkSmf(MakeFile({style, tracks, events, 7}))).first;
      EXPECT_EQ(counts.size(), static_cast<std::size_t>(tracks));
      EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}), events) << tracks << " tracks";
      EXPECT_LE(std::ranges::max(counts) - std::ranges::min(counts), 1);
    }
}

// The committed examples, and what the program writes when asked, are what the generator makes;
// a usage error writes nothing.
TEST(GenerateProgramTest, TheExamplesAndWhatTheProgramWritesAreWhatTheGeneratorMakes) {
  testing::TempFolder folder;
  std::set<std::string> made, committed;
  ASSERT_EQ(Generate("examples " + folder.Path()), 0);
  for (const ExampleFile& example : ExampleFiles()) {
    made.insert(example.name);
    EXPECT_NO_THROW(WalkSmf(example.bytes)) << example.name;
    EXPECT_EQ(ReadFileBytes(folder.Join(example.name)), example.bytes);
    EXPECT_EQ(ReadFileBytes(std::string(QUAVERT_EXAMPLES_FOLDER "/") + example.name), example.bytes)
        << example.name << " differs: run cmake --build build --target examples";
  }
  for (const auto& entry : std::filesystem::directory_iterator(QUAVERT_EXAMPLES_FOLDER))
    if (entry.path().extension() == ".mid") committed.insert(entry.path().filename().string());
  EXPECT_EQ(committed, made);
  EXPECT_TRUE(made.contains("demo.mid")) << "the first run opens it";
  ASSERT_EQ(Generate("single " + folder.Join("a.mid") + " --events 100 --seed 7 --tracks 3"), 0);
  EXPECT_EQ(ReadFileBytes(folder.Join("a.mid")), MakeFile({Style::kSong, 3, 100, 7}));
  const std::string out = folder.Join("x.mid");
  for (const std::string& arguments : {"huge " + out, "single " + out + " --tracks 73", "single " + out + " --events many",
                                       "drums " + out + " --tracks 2"})
    EXPECT_EQ(Generate(arguments), 2) << arguments;
  EXPECT_FALSE(std::filesystem::exists(out)) << "nothing written after a usage error";
  EXPECT_EQ(Generate("single " + folder.Join("no/such/folder/x.mid")), 1);
}

}  // namespace
}  // namespace quavert::generate
