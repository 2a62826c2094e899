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

// Reads a whole Standard MIDI File and holds it to what the program reads: a header "MThd" of
// length 6, format 0 with one track or format 1, a division of 1..32767 ticks, the announced
// number of "MTrk" chunks filling the file exactly, numbers in their shortest form and within
// the three bytes the program reads, meta lengths below 128 but for the sequencer-specific
// event, data bytes below 128, running status only after a channel message, and FF 2F 00 as
// the last event of every track and nowhere else. std::runtime_error naming the offset otherwise.
WalkedFile WalkSmf(std::string_view bytes) {
  std::size_t at = 0, end = bytes.size();
  const auto require = [&](bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what + " at offset " + std::to_string(at));
  };
  // A byte; a data byte when `below` is 0x80.
  const auto byte = [&](int below = 0x100) {
    require(at < end, "a read past the end");
    const int value = static_cast<unsigned char>(bytes[at++]);
    require(value < below, "a data byte of 128 or more");
    return value;
  };
  const auto big = [&](int size) {
    std::uint32_t value = 0;
    while (size-- > 0) value = value << 8 | static_cast<std::uint32_t>(byte());
    return value;
  };
  // A number in its shortest form within the three bytes (21 bits) the program reads.
  const auto number = [&] {
    const std::size_t start = at;
    std::uint32_t value = 0;
    for (int next = 0x80; next >= 0x80; value = value << 7 | static_cast<std::uint32_t>(next & 0x7F)) {
      next = byte();
      require(at != start + 1 || next != 0x80, "a number not in its shortest form");
    }
    require(at - start <= 3, "a number longer than the program reads");
    return value;
  };
  const auto skip = [&](std::uint32_t count) {
    require(end - at >= count, "data running past the end");
    at += count;
  };

  require(bytes.substr(0, 8) == std::string_view("MThd\0\0\0\6", 8), "no header of length 6");
  at = 8;
  WalkedFile file;
  file.format = static_cast<int>(big(2));
  const std::uint32_t tracks = big(2), division = big(2);
  require(file.format == 1 || (file.format == 0 && tracks == 1), "a format other than 0 with one track, or 1");
  require(division >= 1 && division <= 0x7FFF, "a division the program refuses");
  while (at < bytes.size()) {
    end = bytes.size();
    require(bytes.substr(at, 4) == "MTrk", "a chunk other than MTrk");
    skip(4);
    const std::uint32_t length = big(4);
    skip(length);
    std::tie(at, end) = std::pair(at - length, at);
    auto& events = file.tracks.emplace_back();
    for (int running = -1; events.empty() || events.back().kind != kEndOfTrack;) {
      require(at < end, "a track without FF 2F 00 at its end");
      number();
      int status = byte();
      require(status >= 0x80 || running >= 0, "a data byte where a status is due");
      if (status < 0x80) std::tie(status, at) = std::pair(running, at - 1);
      WalkedEvent& event = events.emplace_back(status);
      if (status == 0xFF) {
        event.kind = 0xFF00 | byte();
        const std::uint32_t size = number();
        require((event.kind == 0xFF7F || size < 128) && (event.kind != kEndOfTrack || size == 0), "a meta length");
        skip(size);
      } else if (status == 0xF0 || status == 0xF7) {
        skip(number());
      } else {
        require(status < 0xF0, "a system message no file may hold");
        event.data1 = byte(0x80);
        if (status < 0xC0 || status >= 0xE0) byte(0x80);
      }
      running = status < 0xF0 ? status : -1;
    }
    require(at == end, "bytes after the end of track");
  }
  require(file.tracks.size() == tracks, "a track count other than the chunks'");
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
