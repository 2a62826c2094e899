#include <gtest/gtest.h>

#include "commands/load_driver.h"
#include "common/file_system.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Smf;
using Texts = std::vector<std::string>;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");
const Bytes kTrack = kNotes + kEnd;

Bytes Patched(Bytes bytes, std::size_t at, const Bytes& with) { return bytes.replace(at, with.size(), with); }

// Damaged files, the program going on after them and the user's file staying untouched are
// pinned for the whole window in the robustness tests; these pin the load's own steps.
class LoadTest : public testing::SessionTest {
 protected:
  // Opens `bytes` saved as the user's file `name`, as start-up or a dialog choice would.
  void Open(const Bytes& bytes, const std::string& name = "song.mid") {
    path = UserFile(name, bytes);
    OpenMidiFile(session, path);
  }
  bool Loaded() const { return session.file.FileLoaded && session.file.LoadState != kLoadFailed; }
  std::string path;
};

TEST_F(LoadTest, AGoodFileFillsTheWindowTheReportAndThePlayer) {
  const Bytes file = Smf(1, 96, {Hex("00 FF 03 05") + "Piano" + kTrack, kTrack, kEnd});
  Open(file);
  ASSERT_TRUE(Loaded());
  EXPECT_EQ(session.file.LastOpenedPath, path);
  EXPECT_EQ(AppFileBytes(kWorkCopyName), file);
  EXPECT_EQ((Texts{ui.Texts[Control::Text1], ui.Texts[Control::Text3], ui.Texts[Control::Text4],
                   ui.Texts[Control::Text5], ui.Texts[Control::Combo1], ui.Caption}),
            (Texts{std::to_string(file.size()), "3", "Multi", "96", "1", " Quavert 0.15 - " + path}));
  EXPECT_EQ(ui.ComboItems, (Texts{"1", "2", "3"}));
  for (Control control : {Control::mnuSave, Control::Command1, Control::Command2, Control::Text5, Control::mnuPlay})
    EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
  for (Control control : {Control::Command5, Control::mnuPause, Control::mnuStop, Control::Toolbar2Button5,
                          Control::Toolbar2Button6})
    EXPECT_FALSE(ui.IsEnabled(control)) << ControlName(control);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_FALSE(ui.Busy);
  EXPECT_EQ(media.Commands,
            (Texts{"Close REDevid1 notify",
                   "Open " + path + " type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify",
                   "Put REDevid1 window at 0 0 320 40 notify"}));

  const std::string rule(70, '\xC4');
  const std::string expected_start = "Quavert 0.15 - report of a MIDI file\r\n" + std::string(70, '-') +
                                     "\r\nSONG.MID\r\nFile Size   : " + std::to_string(file.size()) +
                                     "\r\nTotal Tracks: 3\r\nFile Format : Multi\r\nDelta Ticks : 96\r\n" + rule +
                                     "\r\nTrack : 1\r\nLength: 21\r\n" + rule + "\r\n";
  const std::string report = AppFileBytes("logs/song.txt");
  EXPECT_EQ(report.substr(0, expected_start.size()), expected_start);
  OpenMidiFile(session, path);
  EXPECT_EQ(AppFileBytes("logs/song.txt"), report) << "the same file again starts its report afresh";
}

// Each damage's messages and the state it leaves are pinned in the robustness tests; here, that a
// failed load makes no report, and that a track's problem is found before the division's.
TEST_F(LoadTest, AFailedLoadMakesNoReportAndTheWalkComesBeforeTheDivision) {
  const struct { const char* what; Bytes bytes; Texts messages; bool loaded; } cases[] = {
      {"walk before division", Smf(0, 0, {kNotes}), {"SONG.MID: Invalid Track Length ( 1)"}, false},
      {"wrong id", Patched(Smf(0, 96, {kEnd}), 3, "X"), {"SONG.MID is not a MIDI file"}, false},
      {"trailing bytes", Smf(0, 96, {kTrack}) + "garbage-bytes",
       {"SONG.MID:\r\nProbably unnecessary bytes at end of file. File should be OK."}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui.ClearLog();
    if (FileExists(app.Join("logs/song.txt"))) DeleteFile(app.Join("logs/song.txt"));
    Open(c.bytes);
    EXPECT_EQ(ui.MessageTexts(), c.messages);
    EXPECT_EQ(Loaded(), c.loaded);
    EXPECT_EQ(FileExists(app.Join("logs/song.txt")), c.loaded);
  }
}

// Where the tracks start, as the walk found them, replaces what a longer file left in the table.
TEST_F(LoadTest, TheWalkRecordsWhereATruncatedTrackEndsAfterALongerFile) {
  Open(Smf(1, 96, {kTrack, kTrack, kTrack}));
  const Bytes truncated = Patched(Smf(0, 96, {kTrack}), 21, "\x64");  // claims 100 bytes, holds 12
  Open(truncated);
  EXPECT_TRUE(Loaded());
  EXPECT_EQ(session.tracks.TrackStart[2], static_cast<std::int64_t>(truncated.size()) + 1);  // the repairs rely on it
}

TEST_F(LoadTest, FormatsReadOnlyTheLowByteAndTheTrackCountIsCorrectedSilently) {
  Open(Patched(Smf(0, 96, {kEnd}), 8, "\x01"));  // format bytes 01 00
  EXPECT_EQ(ui.Texts[Control::Text4], "single");
  Open(Patched(Smf(2, 96, {kEnd, kEnd}), 10, "\xFF\xFF"));  // 65535 tracks announced: read unsigned
  EXPECT_EQ(ui.Texts[Control::Text4], "Multi (independent)");
  EXPECT_NE(AppFileBytes("logs/song.txt").find("Total Tracks: 2\r\nFile Format : Multi (independent)\r\n"),
            std::string::npos);
  EXPECT_EQ(ui.Texts[Control::Text3], "2");
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(LoadTest, ReportNamesFollowTheShortName) {
  for (const auto& [name, report] : std::vector<std::pair<std::string, std::string>>{
           {"NOTES", "notxt"}, {"a.m", "a.m.txt"}, {"My Song.Mid", "my song.txt"}}) {
    Open(Smf(0, 96, {kEnd}), name);
    EXPECT_TRUE(FileExists(app.Join("logs/" + report))) << name;
  }
  EXPECT_EQ(session.file.ShortName, "MY SONG.MID");
}

TEST_F(LoadTest, TheOpenDialogCancelledMissingOrChosen) {
  session.file.MidiPath = "/music/old/song.mid";
  OpenMidiFile(session, "");
  EXPECT_EQ(ui.OpenDialogs,
            (std::vector<FileDialogSetup>{{"/music/old/", "Load MIDI file",
                                           "MIDI files (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi|All files (*.*)|*.*", 4,
                                           ""}}));
  EXPECT_TRUE(media.Commands.empty());

  ui.DialogChoices.push_back({user.Join("gone.mid"), "gone.mid"});
  OpenMidiFile(session, "");
  EXPECT_EQ(ui.Messages, (std::vector<RecordingToolkit::Message>{
                             {"gone.mid does not exist", Buttons::kOk, Icon::kExclamation, "", Answer::kOk}}));
  EXPECT_EQ(session.file.MidiPath, "/music/old/song.mid");

  ui.DialogChoices.push_back({UserFile("chosen.mid", Smf(0, 96, {kEnd})), "chosen.mid"});
  OpenMidiFile(session, "");
  EXPECT_TRUE(Loaded());
  EXPECT_EQ(session.file.ShortName, "CHOSEN.MID");
}

// The working copy left by a run that was stopped may be opened to take up its edits: the load
// neither empties it (the first load of a run) nor deletes it (a later one), and it loads.
TEST_F(LoadTest, TheWorkingCopyItselfCanBeOpened) {
  const Bytes left = Smf(0, 96, {kTrack});
  const std::string work = app.Join(kWorkCopyName);
  for (bool first : {true, false}) {
    if (!first) Open(Smf(1, 96, {kEnd}));
    testing::WriteFileBytes(work, left);
    OpenMidiFile(session, work);
    EXPECT_TRUE(Loaded()) << first;
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(testing::ReadFileBytes(work), left);
    EXPECT_EQ(session.decoder.LastEventIndex, 1);
  }
}

// An RMID file opens as the MIDI file of its data chunk: the working copy holds only that, the
// messages and the report name the .rmi file, and the player gets what was loaded. A RIFF file of
// another form type, or an RMID file without a data chunk, is no MIDI file.
TEST_F(LoadTest, AnRmidFileOpensAsTheMidiFileOfItsDataChunk) {
  const Bytes info = "LIST" + Hex("0C 00 00 00") + "INFOINAM" + Hex("02 00 00 00") + "Hi";
  const Bytes midi = Smf(0, 96, {kTrack}) + "garbage!!";  // odd length: the data chunk is padded
  Open(testing::Rmid(midi, info), "song.rmi");
  ASSERT_TRUE(Loaded());
  EXPECT_EQ(AppFileBytes(kWorkCopyName), midi);
  EXPECT_EQ(ui.MessageTexts(), Texts{"SONG.RMI:\r\nProbably unnecessary bytes at end of file. File should be OK."});
  EXPECT_EQ(ui.Texts[Control::Text1], std::to_string(midi.size()));
  EXPECT_NE(AppFileBytes("logs/song.txt").find("SONG.RMI\r\nFile Size   : 43\r\n"), std::string::npos);
  EXPECT_EQ(media.Commands.back(), "Put REDevid1 window at 0 0 320 40 notify");
  EXPECT_EQ(media.Commands[media.Commands.size() - 2],
            "Open " + app.Join(kWorkCopyName) + " type MPEGVideo Alias REDevid1 parent 4242 Style 1073741824 notify");

  Bytes wave = testing::Rmid(Smf(0, 96, {kTrack}));
  for (const Bytes& riff : {wave.replace(8, 4, "WAVE"), "RIFF" + Hex("10 00 00 00") + "RMID" + info}) {
    ui.ClearLog();
    Open(riff, "song.rmi");
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(ui.MessageTexts(), Texts{"SONG.RMI is not a MIDI file"});
  }
  Open(Smf(0, 96, {kTrack}));  // a plain file after an RMID one is copied whole
  EXPECT_EQ(AppFileBytes(kWorkCopyName), Smf(0, 96, {kTrack}));
}

}  // namespace
}  // namespace quavert
