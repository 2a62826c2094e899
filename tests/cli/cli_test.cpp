#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <set>
#include <sstream>
#include <tuple>

#include "cli/cli.h"
#include "cli/options.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "editing/event_input.h"
#include "support/midi_bytes.h"
#include "support/real_midi.h"
#include "support/sound_files.h"
#include "support/standard_reader.h"
#include "support/temp_folder.h"
#include "timeline/midi_length.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Smf;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");
using Args = std::vector<std::string>;
constexpr bool kRenders = QUAVERT_RENDERS;

class CliTest : public ::testing::Test {
 protected:
  int Run(const Args& args) {
    out.str("");
    err.str("");
    return cli::Run(args, out, err);
  }
  testing::TempFolder folder;
  std::ostringstream out, err;
};

TEST_F(CliTest, AValidFileIsListedReportedAndEdited) {
  const Bytes original = Smf(1, 96, {Hex("00 FF 03 02 41 42 00 FF 51 03 07 A1 20 00 C0 05") + kNotes + kEnd,
                                     Hex("00 FF 03 01 42") + kEnd});
  const std::string path = folder.Write("song.mid", original);
  EXPECT_EQ(Run({"list", path}), 0);
  EXPECT_EQ(out.str(),
            "       Track             : 1\n"
            "       Length            : 28\n"
            "     0 Name              : AB\n"
            "     0 Set tempo         : 120\n"
            "       Total Time        : 00.01\n"
            "--\n"
            "C1\t5\t\t0\tInstrument: Electric Piano 2\n"
            "C1\tC5\t100\t96\tOn\n"
            "C1\tC5\t0\t0\tOff\n");
  EXPECT_EQ(Run({"list", path, "--track", "2"}), 0);  // a track without rows has no list
  EXPECT_EQ(out.str(),
            "       Track             : 2\n       Length            : 9\n     0 Name              : B\n--\n");

  std::string target = folder.Join("song-report.txt");
  EXPECT_EQ(Run({"report", path, "--out", target}), 0);
  EXPECT_EQ(out.str(), "report: " + target + "\n");
  const std::string report = testing::ReadFileBytes(target);
  for (const char* line : {"SONG.MID\r\nFile Size   :", "      0 Name: AB\r\n", "        C1 C5    100 96     On\r\n",
                           "        C1  5        0      Instrument: Electric Piano 2\r\n", "Track : 2\r\n"})
    EXPECT_NE(report.find(line), std::string::npos) << line << report;
  EXPECT_EQ(report.find("Track : 2"), report.rfind("Track : 2")) << "each track once";

  target = folder.Write("out.mid", "an older file");
  EXPECT_EQ(Run({"edit", path, "--out", target, "--cell", "2:1=60", "--cell", "2:1=c#4", "--cell", "3:3=300",
                 "--tempo", "100", "--ticks", "480"}),
            0);
  EXPECT_EQ(out.str(), "message: Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#\n"
                       "message: Data saved!\nmessage: Data saved!\n"
                       "question: out.mid already exists, overwrite? -> yes\nsaved: " + target + "\n");
  // The Note Off follows its Note On to the new key.
  EXPECT_EQ(testing::ReadFileBytes(target),
            Smf(1, 480, {Hex("00 FF 03 02 41 42 00 FF 51 03 09 27 C0 00 C0 05 00 90 31 64 60 80 31 00 82 2C FF 2F 00"),
                         Hex("00 FF 03 01 42") + kEnd}));
  EXPECT_EQ(testing::ReadFileBytes(path), original);
}

// --tempo or --ticks alone changes that value only: the other stays what the file has.
TEST_F(CliTest, TempoOrTicksAloneChangesThatValueOnly) {
  const Bytes track = Hex("00 FF 51 03 07 A1 20") + kNotes + kEnd;  // 120 bpm
  const std::string path = folder.Write("song.mid", Smf(0, 96, {track}));
  const auto edit = [&](const std::string& option, const std::string& value) {
    const std::string target = folder.Join(option.substr(2) + value + ".mid");
    EXPECT_EQ(Run({"edit", path, "--out", target, option, value}), 0);
    return testing::ReadFileBytes(target);
  };
  EXPECT_EQ(edit("--ticks", "480"), Smf(0, 480, {track}));
  EXPECT_EQ(out.str(), "message: Data saved!\nsaved: " + folder.Join("ticks480.mid") + "\n");
  EXPECT_EQ(edit("--tempo", "100"), Smf(0, 96, {Hex("00 FF 51 03 09 27 C0") + kNotes + kEnd}));
  EXPECT_EQ(edit("--tempo", "40"), Smf(0, 96, {track}));  // the ticks, as they were, are still written
  EXPECT_EQ(out.str(), "message: Tempo must be between 50 and 500\nmessage: Data saved!\nsaved: " + folder.Join("tempo40.mid") + "\n");
}

// --cell, --delete and --insert in the order given, each numbering the list as it stands; a
// refused one says why and changes nothing.
TEST_F(CliTest, EditDeletesAndInsertsInTheOrderGiven) {
  const std::string path = folder.Write("song.mid", Smf(0, 96, {Hex("00 C0 05 00 90 3C 64 60 80 3C 00") + kEnd}));
  const std::string target = folder.Join("out.mid");
  EXPECT_EQ(Run({"edit", path, "--out", target, "--insert", "2:16:90 40 50", "--cell", "3:1=C5", "--delete", "1",
                 "--insert", "2:81:B0 07 64", "--insert", "1:0:90 40", "--delete", "9"}),
            0);
  EXPECT_EQ(out.str(), "message: Ticks must be between 0 and 80\nmessage: " + std::string(kEventBytesRange) +
                           "\nmessage: Item must be between 1 and 3\nmessage: Data saved!\nsaved: " + target + "\n");
  // The program change is gone; the note of E5 (40) came 16 ticks into the C5 and took the key
  // C5 (3C) typed into it, an On without an Off: every other event kept its time.
  EXPECT_EQ(testing::ReadFileBytes(target), Smf(0, 96, {Hex("00 90 3C 64 10 90 3C 50 50 80 3C 00") + kEnd}));
}

// Usage errors exit with 2 and the usage; check prints one line per file after that file's
// messages and answers questions No; a file that fails makes the exit status 1.
TEST_F(CliTest, EachRunHasItsExitStatusAndPrintedLines) {
  const std::string bad = folder.Write("bad.mid", Smf(3, 96, {kEnd}));
  const std::string song = folder.Write("song.mid", Smf(1, 96, {Hex("00 FF 01 01 41") + kEnd, Hex("00 C0 80") + kEnd}));
  const std::string trailing = folder.Write("trailing.mid", Smf(0, 96, {kEnd}) + "garbage!");
  const Bytes clocks_bytes = Smf(0, 96, {Hex("00 FF 58 04 04 02 00 08") + kNotes + kEnd});
  const std::string clocks = folder.Write("clocks.mid", clocks_bytes);
  const std::string target = folder.Join("out.mid");
  const std::string wav = folder.Join("out.wav");
  const std::string usage = "usage: quavert-cli check FILE...";
  for (const auto& [args, status, printed, complaint] : std::vector<std::tuple<Args, int, std::string, std::string>>{
           {{}, 2, "", usage}, {{"frobnicate"}, 2, "", usage}, {{"check"}, 2, "", usage}, {{"list"}, 2, "", usage},
           {{"list", "a.mid", "b.mid"}, 2, "", usage}, {{"report", "a.mid", "--track", "2"}, 2, "", usage},
           {{"list", "a.mid", "--track", "0"}, 2, "", usage}, {{"list", "a.mid", "--answer", "maybe"}, 2, "", usage},
           {{"edit", "a.mid"}, 2, "", usage}, {{"edit", "a.mid", "--out", "b.mid", "--cell", "1:4=x"}, 2, "", usage},
           {{"edit", "a.mid", "--out", "b.mid", "--cell", "x"}, 2, "", usage},
           {{"edit", "a.mid", "--out", "b.mid", "--delete", "0"}, 2, "", "--delete takes a list item number from 1"},
           {{"edit", "a.mid", "--out", "b.mid", "--insert", "1:90 3C 64"}, 2, "", "--insert takes ITEM:TICKS:HEX"},
           {{"edit", "a.mid", "--out", "b.mid", "--insert", "1:-1:90 3C 64"}, 2, "", "--insert takes ITEM:TICKS:HEX"},
           {{"list", "a.mid", "--delete", "1"}, 2, "", usage},
           {{"--help", "check"}, 2, "", usage}, {{"check", "--version"}, 1, "message: Error: 53\n--version: failed\n", ""},
           {{"--help"}, 0, cli::UsageText(), ""}, {{"--version"}, 0, "quavert-cli " QUAVERT_VERSION "\n", ""},
           {{"check", song}, 0, song + ": ok 46 bytes, 2 tracks, format Multi, 96 ticks\n", ""},
           {{"check", trailing, clocks, bad}, 1,
            "message: TRAILING.MID:\n  Probably unnecessary bytes at end of file. File should be OK.\n" + trailing +
                ": ok 34 bytes, 1 tracks, format single, 96 ticks\n" +
                "question: ERROR: Invalid Time Signature.  Repair?  -> no\n" + clocks +
                ": ok 42 bytes, 1 tracks, format single, 96 ticks\nmessage: BAD.MID: Invalid File Format\n" + bad +
                ": failed\n", ""},
           {{"report", bad, "--out", target}, 1, "message: BAD.MID: Invalid File Format\n", ""},
           {{"list", song, "--track", "2"}, 1, "message: ERROR: Invalid Instrument\n", ""},
           {{"list", song, "--track", "3"}, 1, "message: SONG.MID has no track 3\n", ""},
           {{"edit", song, "--out", target, "--cell", "1:1=5"}, 1, "", "item 1 column 1 has no value to edit"},
           {{"edit", song, "--out", target, "--cell", "9:1=5"}, 1, "", "item 9 column 1 has no value to edit"},
           {{"edit", folder.Join("missing.mid"), "--out", target}, 1, "message: Error: 53\n", ""},
           {{"render", song}, 2, "", usage},
           {{"render", song, "--out", wav, "--rate", "7999"}, 2, "", usage},
           {{"render", song, "--out", wav, "--rate", "96001"}, 2, "", usage},
           {{"render", song, "--out", wav, "--rate", "44.1"}, 2, "", usage},
           {{"list", song, "--soundfont", "x.sf2"}, 2, "", usage}}) {
    EXPECT_EQ(Run(args), status) << ::testing::PrintToString(args);
    EXPECT_EQ(out.str(), printed);
    EXPECT_NE(err.str().find(complaint), std::string::npos) << err.str();
  }
  EXPECT_FALSE(FileExists(target) || FileExists(wav));
  EXPECT_EQ(testing::ReadFileBytes(clocks), clocks_bytes) << "check never repairs the file itself";

  // Without a folder to work in, a run says why and fails instead of ending the process.
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string kept = tmpdir != nullptr ? tmpdir : "";
  ::setenv("TMPDIR", folder.Join("no such folder").c_str(), 1);
  EXPECT_EQ(Run({"check", song}), 1);
  tmpdir != nullptr ? ::setenv("TMPDIR", kept.c_str(), 1) : ::unsetenv("TMPDIR");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "quavert-cli: cannot create a temporary folder (No such file or directory)\n");
}

// lint: a line per problem and a summary per file, or JSON objects; 1 when a file has an error,
// also when another file is sound; 2 for a usage error.
TEST_F(CliTest, LintPrintsEachProblemAndItsSummary) {
  const std::string sound = folder.Write("sound.mid", Smf(0, 96, {kNotes + kEnd}));
  const std::string stray = folder.Write("stray.mid", Smf(0, 96, {Hex("00 F4") + kEnd}) + "abc");
  const std::string hanging = folder.Write("hanging.mid", Smf(0, 96, {Hex("00 90 3C 64") + kEnd}));
  EXPECT_EQ(Run({"lint", sound, hanging}), 0);
  EXPECT_EQ(out.str(), sound + ": 0 errors, 0 warnings\n" + hanging +
                           ":23: warning: note 60 on channel 1 is still on at the end of the track (offset 27) "
                           "[hanging-note]\n" + hanging + ": 0 errors, 1 warnings\n");
  EXPECT_EQ(Run({"lint", stray, sound}), 1);
  EXPECT_EQ(out.str(), stray + ":23: error: system message 244 (F4 hex) inside a track [system-common]\n" + stray +
                           ":28: warning: 3 bytes after the last chunk, too few for a chunk [trailing-bytes]\n" + stray +
                           ": 1 errors, 1 warnings\n" + sound + ": 0 errors, 0 warnings\n");
  EXPECT_EQ(Run({"lint", "--json", stray}), 1);
  EXPECT_EQ(out.str(), "{\"file\": \"" + stray +
                           "\", \"offset\": 23, \"track\": 1, \"severity\": \"error\", \"code\": \"system-common\", "
                           "\"message\": \"system message 244 (F4 hex) inside a track\"}\n"
                           "{\"file\": \"" + stray +
                           "\", \"offset\": 28, \"track\": null, \"severity\": \"warning\", \"code\": "
                           "\"trailing-bytes\", \"message\": \"3 bytes after the last chunk, too few for a chunk\"}\n"
                           "{\"file\": \"" + stray + "\", \"errors\": 1, \"warnings\": 1}\n");
  EXPECT_EQ(Run({"lint", folder.Join("missing.mid"), sound}), 1);
  EXPECT_EQ(out.str(), sound + ": 0 errors, 0 warnings\n");
  EXPECT_NE(err.str().find("missing.mid: "), std::string::npos) << err.str();
  for (const Args& usage : {Args{"lint"}, Args{"lint", "--json"}, Args{"lint", sound, "--jsn"}}) {
    EXPECT_EQ(Run(usage), 2);
    EXPECT_NE(err.str().find("quavert-cli lint FILE... [--json]"), std::string::npos);
  }
}

TEST_F(CliTest, RealFilesCheckAndReportCleanly) {
  const auto& files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files to be had";
  for (const std::string& path : files) {
    EXPECT_EQ(Run({"check", path}), 0) << path << out.str();
    EXPECT_EQ(out.str().find("message:"), std::string::npos) << out.str();
    EXPECT_EQ(Run({"report", path, "--out", folder.Join("r.txt")}), 0) << path;
    EXPECT_NE(testing::ReadFileBytes(folder.Join("r.txt")).find("Total Time: "), std::string::npos) << path;
  }
}

// --bytes adds each row's offset in the file named, its bytes and its ticks; the rows are otherwise
// those of a plain list, and an RMID file's offsets count from the RIFF file's start.
TEST_F(CliTest, ListWithBytesGivesEachRowsOffsetBytesAndTicks) {
  const Bytes smf = Smf(1, 96, {Hex("00 FF 03 02 41 42 00 FF 51 03 07 A1 20 00 C0 05 00 90 3C 64 60 3C 00") + kEnd});
  const std::string head = "       Track             : 1\n"
                           "       Length            : 27\n"
                           "     0 Name              : AB\n"
                           "     0 Set tempo         : 120\n"
                           "       Total Time        : 00.01\n"
                           "--\n";
  for (const auto& [name, bytes, shift] : {std::tuple{"song.mid", smf, 0}, std::tuple{"song.rmi", testing::Rmid(smf), 20}}) {
    const std::string path = folder.Write(name, bytes);
    EXPECT_EQ(Run({"list", path, "--bytes"}), 0);
    auto offset = [&](int at) { return std::to_string(at + shift); };
    EXPECT_EQ(out.str(), head + "C1\t5\t\t0\tInstrument: Electric Piano 2\t" + offset(36) + "\tC0 05\t0\n" +
                             "C1\tC5\t100\t96\tOn\t" + offset(39) + "\t90 3C 64\t0\n" +
                             "C1\tC5\t0\t0\tOff\t" + offset(43) + "\t3C 00\t96\n")
        << name;
  }
  EXPECT_EQ(Run({"list", folder.Write("song.mid", smf)}), 0);
  EXPECT_EQ(out.str(), head + "C1\t5\t\t0\tInstrument: Electric Piano 2\nC1\tC5\t100\t96\tOn\nC1\tC5\t0\t0\tOff\n");

  // The status byte the missing-byte repair inserts is no byte of the file: its row has no
  // cells, and the rows after it have the file's offsets.
  const std::string repaired =
      folder.Write("repaired.mid", Smf(0, 96, {Hex("00 FF 51 03 07 A1 20 00 3C 64 60 80 3C 00") + kEnd}));
  EXPECT_EQ(Run({"list", repaired, "--bytes", "--answer", "yes"}), 0);
  const std::string rows = out.str().substr(out.str().find("\n--\n") + 4);
  EXPECT_EQ(rows, "C1\tC5\t100\t96\tOn\t\t\t\nC1\tC5\t0\t0\tOff\t33\t80 3C 00\t96\n");
}

// --encoding converts the texts printed to UTF-8; without it they are the file's bytes. The
// report keeps the file's bytes either way.
TEST_F(CliTest, EncodingConvertsPrintedTextsOnly) {
  const std::string path = folder.Write("lyric.mid", Smf(0, 96, {kNotes + Hex("00 FF 05 02 82 A2") + kEnd}));
  const std::string head = "       Track             : 1\n       Length            : 18\n     0 Lyric             : ";
  const std::string rows = "       Total Time        : 00.01\n--\nC1\tC5\t100\t96\tOn\nC1\tC5\t0\t0\tOff\n\t\t\t0\tText\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "\x82\xA2"},
      {{"--encoding", "Shift-JIS"}, "\xE3\x81\x84"},
      {{"--encoding", "latin-1"}, "\xC2\x82\xC2\xA2"},
      {{"--encoding", "Automatic"}, "\xC2\x82\xC2\xA2"},
      {{"--encoding", "UTF-8"}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const auto& [option, lyric] : cases) {
    Args args = {"list", path};
    args.insert(args.end(), option.begin(), option.end());
    EXPECT_EQ(Run(args), 0);
    EXPECT_EQ(out.str(), head + lyric + "\n" + rows) << ::testing::PrintToString(option);
  }

  const std::string plain = folder.Join("plain.txt");
  const std::string converted = folder.Join("converted.txt");
  EXPECT_EQ(Run({"report", path, "--out", plain}), 0);
  EXPECT_EQ(Run({"report", path, "--out", converted, "--encoding", "Shift-JIS"}), 0);
  EXPECT_EQ(out.str(), "report: " + converted + "\n");
  EXPECT_NE(testing::ReadFileBytes(plain).find("\x82\xA2"), std::string::npos);
  EXPECT_EQ(testing::ReadFileBytes(converted), testing::ReadFileBytes(plain));

  for (const Args& usage : {Args{"list", path, "--encoding", "sjis"}, Args{"list", path, "--encoding"},
                            Args{"lint", path, "--encoding", "UTF-8"}}) {
    EXPECT_EQ(Run(usage), 2) << ::testing::PrintToString(usage);
  }
}

// Over every track of the examples and the real files: each row's HEX is the file's bytes at its
// OFFSET, and its TICKS ascend through times a reader of the standard finds events at.
TEST_F(CliTest, ListedBytesAreTheFilesBytesAtTheirOffsets) {
  std::vector<std::string> files = testing::RealMidiFiles();
  for (const char* example : {"demo.mid", "sysex.mid", "tempos.mid", "waltz.mid"})
    files.push_back(std::string(QUAVERT_EXAMPLES) + "/" + example);
  for (const std::string& path : files) {
    const std::string bytes = testing::ReadFileBytes(path);
    const testing::StandardFile standard = testing::ReadStandardFile(bytes);
    int track = 0;
    std::size_t rows = 0;
    for (const testing::StandardChunk& chunk : standard.chunks) {
      if (chunk.id != "MTrk") continue;
      ++track;
      std::set<std::uint64_t> times;
      for (const testing::StandardEvent& event : chunk.events) times.insert(event.tick);
      ASSERT_EQ(Run({"list", path, "--track", std::to_string(track), "--bytes"}), 0) << path << track;
      std::istringstream lines(out.str().substr(out.str().find("\n--\n") + 4));
      std::uint64_t last_tick = 0;
      for (std::string line; std::getline(lines, line); ++rows) {
        std::vector<std::string> cells;
        std::istringstream cut(line);
        for (std::string cell; std::getline(cut, cell, '\t');) cells.push_back(cell);
        ASSERT_EQ(cells.size(), 8u) << path << ": " << line;
        const std::uint64_t offset = std::stoull(cells[5]);
        const std::size_t length = (cells[6].size() + 1) / 3;
        ASSERT_LE(offset + length, bytes.size()) << line;
        EXPECT_EQ(cells[6], testing::ToHex(std::string_view(bytes).substr(offset, length))) << path << ": " << line;
        const std::uint64_t tick = std::stoull(cells[7]);
        EXPECT_GE(tick, last_tick) << path << ": " << line;
        EXPECT_TRUE(times.count(tick)) << path << ": " << line;
        last_tick = tick;
      }
    }
    EXPECT_GT(rows, 0u) << path;
  }
}

// What render cannot do it says on the error output, in one line, and exits with 1.
TEST_F(CliTest, RenderSaysWhyItCannotAndWritesNothing) {
  if (!kRenders) GTEST_SKIP() << "built without FluidSynth";
  const std::string song = folder.Write("song.mid", Smf(0, 96, {kNotes + kEnd}));
  const std::string wav = folder.Join("out.wav");
  const std::string text = folder.Write("notes.txt", "no MIDI");
  for (const auto& [args, complaint] : std::vector<std::pair<Args, std::string>>{
           {{"render", song, "--out", wav, "--soundfont", folder.Join("none.sf2")}, "SoundFont " + folder.Join("none.sf2") + " not found"},
           {{"render", folder.Join("missing.mid"), "--out", wav}, "cannot read " + folder.Join("missing.mid") + " (No such file or directory)"},
           {{"render", text, "--out", wav}, text + " is not a MIDI file"}}) {
    EXPECT_EQ(Run(args), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "quavert-cli: " + complaint + "\n");
  }
  EXPECT_FALSE(FileExists(wav));
}

// demo.mid holds one tempo, 625,000 microseconds a quarter, at 480 ticks a quarter, so its
// longest track lasts ticks / 480 * 0.625 s (20 s). The render lasts that and the tail of the
// last notes, under 2 s, and takes far less time than the song.
TEST_F(CliTest, RenderWritesTheSongAndItsTailFasterThanItPlays) {
  const std::string sound_font = "/usr/share/sounds/sf2/default-GM.sf2";
  if (!kRenders) GTEST_SKIP() << "built without FluidSynth";
  if (!FileExists(sound_font)) GTEST_SKIP() << "no General MIDI SoundFont installed";
  const std::string demo = QUAVERT_EXAMPLES "/demo.mid";
  const std::string midi = testing::ReadFileBytes(demo);
  ASSERT_EQ(midi.substr(12, 2), Hex("01 E0"));
  ASSERT_NE(midi.find(Hex("FF 51 03 09 89 68")), std::string::npos);
  ASSERT_EQ(midi.find(Hex("FF 51")), midi.rfind(Hex("FF 51"))) << "more than one tempo";
  BinaryFile file(demo, BinaryFile::Mode::kRead);
  const double song = static_cast<double>(MidiLengthInTicks(file)) / 480 * 0.625;

  const std::string wav = folder.Join("demo.wav");
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Run({"render", demo, "--out", wav, "--soundfont", sound_font}), 0) << err.str();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  const std::string sound = testing::ReadFileBytes(wav);
  const testing::WavFacts facts = testing::ReadWavFacts(sound);
  std::ostringstream seconds;
  seconds << std::fixed << std::setprecision(1) << facts.Seconds();
  EXPECT_EQ(out.str(), "rendered: " + wav + " " + seconds.str() + " s\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(facts.Valid && facts.Rate == 44100 && facts.DataEnd == static_cast<std::int64_t>(sound.size()));
  EXPECT_GE(facts.Seconds(), song);
  EXPECT_LE(facts.Seconds(), song + 2);
  EXPECT_GT(testing::WavRms(sound), 0.001);
  // Four times real time at the least, on a busy machine and under the sanitizers.
  EXPECT_LT(took.count(), song / 4);
  std::cout << "render of " << song << " s of music: " << facts.Seconds() << " s of sound in " << took.count()
            << " s, " << song / took.count() << " times real time\n";
}

}  // namespace
}  // namespace quavert
