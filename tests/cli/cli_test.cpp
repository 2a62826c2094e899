#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "common/file_system.h"
#include "support/midi_bytes.h"
#include "support/real_midi.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Smf;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");

class CliTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return cli::Run(args, out, err);
  }
  std::string File(const std::string& name, const Bytes& bytes) {
    const std::string path = folder.Join(name);
    testing::WriteFileBytes(path, bytes);
    return path;
  }
  testing::TempFolder folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CliTest, UsageErrorsExitWithTwoAndTheUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"check"}, {"list"}, {"list", "a.mid", "b.mid"}, {"report", "a.mid", "--track", "2"},
           {"list", "a.mid", "--track", "0"}, {"list", "a.mid", "--answer", "maybe"}, {"edit", "a.mid"},
           {"edit", "a.mid", "--out", "b.mid", "--cell", "1:4=x"}, {"edit", "a.mid", "--out", "b.mid", "--cell", "x"}}) {
    EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
    EXPECT_NE(err.str().find("usage: quavert-cli check FILE..."), std::string::npos);
    EXPECT_TRUE(out.str().empty());
  }
}

TEST_F(CliTest, CheckPrintsOneLinePerFileAfterItsMessagesAnswersNoAndNeverWrites) {
  const std::string good = File("good.mid", Smf(1, 480, {kNotes + kEnd, kEnd}));
  const std::string trailing = File("trailing.mid", Smf(0, 96, {kEnd}) + "garbage!");
  const Bytes clocks_bytes = Smf(0, 96, {Hex("00 FF 58 04 04 02 00 08") + kNotes + kEnd});
  const std::string clocks = File("clocks.mid", clocks_bytes);
  const std::string bad = File("bad.mid", Smf(3, 96, {kEnd}));
  EXPECT_EQ(Run({"check", good, trailing, clocks, bad}), 1);
  EXPECT_EQ(out.str(), good + ": ok 46 bytes, 2 tracks, format Multi, 480 ticks\n" +
                           "message: TRAILING.MID:\n  Probably unnecessary bytes at end of file. File should be OK.\n" +
                           trailing + ": ok 34 bytes, 1 tracks, format single, 96 ticks\n" +
                           "question: ERROR: Invalid Time Signature.  Repair?  -> no\n" + clocks +
                           ": ok 42 bytes, 1 tracks, format single, 96 ticks\n" +
                           "message: BAD.MID: Invalid File Format\n" + bad + ": failed\n");
  EXPECT_EQ(testing::ReadFileBytes(clocks), clocks_bytes);
  EXPECT_EQ(Run({"check", good}), 0);
}

TEST_F(CliTest, ReportIsCopiedWhereAskedWithTheLinesOfEveryTrack) {
  const std::string path = File("song.mid", Smf(1, 96, {Hex("00 FF 03 02 41 42") + kNotes + kEnd, Hex("00 C0 05") + kEnd}));
  const std::string target = folder.Join("song-report.txt");
  EXPECT_EQ(Run({"report", path, "--out", target}), 0);
  EXPECT_EQ(out.str(), "report: " + target + "\n");
  const std::string report = testing::ReadFileBytes(target);
  for (const char* line : {"SONG.MID\r\nFile Size   :", "      0 Name: AB\r\n", "        C1 C5    100 96     On\r\n",
                           "        C1  5        0      Instrument: Electric Piano 2\r\n"})
    EXPECT_NE(report.find(line), std::string::npos) << line << report;
  EXPECT_NE(report.find("Track : 2"), std::string::npos) << "every track is visited";
  EXPECT_EQ(report.find("Track : 2"), report.rfind("Track : 2")) << "once";
}

TEST_F(CliTest, ListPrintsTheTrackTextThenOneLinePerRow) {
  const std::string path =
      File("song.mid", Smf(1, 96, {Hex("00 FF 03 02 41 42 00 FF 51 03 07 A1 20") + Hex("00 C0 05") + kNotes +
                                       Hex("00 B1 07 64") + kEnd,
                                   Hex("00 FF 03 01 42") + kEnd}));
  EXPECT_EQ(Run({"list", path}), 0);
  EXPECT_EQ(out.str(),
            "       Track             : 1\n"
            "       Length            : 32\n"
            "     0 Name              : AB\n"
            "     0 Set tempo         : 120\n"
            "       Total Time        : 00.01\n"
            "--\n"
            "C1\t5\t\t0\tInstrument: Electric Piano 2\n"
            "C1\tC5\t100\t96\tOn\n"
            "C1\tC5\t0\t0\tOff\n"
            "C2\t7\t100\t0\tController: volume\n");
  EXPECT_EQ(Run({"list", path, "--track", "2"}), 0);
  EXPECT_EQ(out.str(), "       Track             : 2\n       Length            : 9\n     0 Name              : B\n--\n")
      << "a track without rows has no list";
}

TEST_F(CliTest, FailuresExitWithOneAndPrintOnlyTheMessages) {
  const std::string bad = File("bad.mid", Smf(3, 96, {kEnd}));
  const std::string song = File("song.mid", Smf(1, 96, {Hex("00 FF 01 01 41") + kEnd, Hex("00 C0 80") + kEnd}));
  const std::string target = folder.Join("out.mid");
  for (const auto& [args, printed, complaint] : std::vector<std::tuple<std::vector<std::string>, std::string, std::string>>{
           {{"report", bad, "--out", target}, "message: BAD.MID: Invalid File Format\n", ""},
           {{"list", song, "--track", "2"}, "message: ERROR: Invalid Instrument\n", ""},
           {{"list", song, "--track", "3"}, "message: SONG.MID has no track 3\n", ""},
           {{"edit", song, "--out", target, "--cell", "1:1=5"}, "", "item 1 column 1 has no value to edit"},  // a Text row
           {{"edit", song, "--out", target, "--cell", "9:1=5"}, "", "item 9 column 1 has no value to edit"},
           {{"edit", folder.Join("missing.mid"), "--out", target}, "message: Error: 53\n", ""}}) {
    EXPECT_EQ(Run(args), 1) << printed;
    EXPECT_EQ(out.str(), printed);
    EXPECT_NE(err.str().find(complaint), std::string::npos) << err.str();
  }
  EXPECT_FALSE(FileExists(target));
}

TEST_F(CliTest, EditAppliesCellsSavesTheTrackPatchesAndSavesACopy) {
  const Bytes original = Smf(0, 96, {Hex("00 FF 51 03 07 A1 20") + kNotes + kEnd});
  const std::string path = File("song.mid", original);
  const std::string target = File("out.mid", "an older file");
  EXPECT_EQ(Run({"edit", path, "--out", target, "--cell", "1:1=c#4", "--cell", "2:3=300", "--tempo", "100",
                 "--ticks", "480"}),
            0);
  EXPECT_EQ(out.str(), "message: Data saved!\nmessage: Data saved!\nquestion: out.mid already exists, overwrite? -> yes\n"
                       "saved: " + target + "\n");
  EXPECT_EQ(testing::ReadFileBytes(target),
            Smf(0, 480, {Hex("00 FF 51 03 09 27 C0") + Hex("00 90 31 64 60 80 3C 00 82 2C FF 2F 00")}));
  EXPECT_EQ(testing::ReadFileBytes(path), original);
}

TEST_F(CliTest, EditRejectionsAreMessages) {
  const std::string path = File("song.mid", Smf(0, 96, {kNotes + kEnd}));
  EXPECT_EQ(Run({"edit", path, "--out", folder.Join("out.mid"), "--cell", "1:1=60"}), 0);
  EXPECT_EQ(out.str().rfind("message: Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#\n", 0), 0u);
}

TEST_F(CliTest, RealFilesCheckAndReportCleanly) {
  const auto& files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files to be had";
  for (const std::string& path : files) {
    const Bytes before = testing::ReadFileBytes(path);
    EXPECT_EQ(Run({"check", path}), 0) << path << out.str();
    EXPECT_EQ(out.str().find("message:"), std::string::npos) << out.str();
    EXPECT_EQ(Run({"report", path, "--out", folder.Join("r.txt")}), 0) << path;
    const std::string report = testing::ReadFileBytes(folder.Join("r.txt"));
    EXPECT_NE(report.find("Total Time: "), std::string::npos) << path;
    EXPECT_EQ(testing::ReadFileBytes(path), before) << "the companion never writes its input";
  }
}

}  // namespace
}  // namespace quavert
