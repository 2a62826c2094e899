#include <gtest/gtest.h>

#include "common/file_system.h"
#include "loading/load_driver.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::Mthd;
using testing::Mtrk;
using testing::Smf;

const Bytes kEnd = Hex("00 FF 2F 00");
const Bytes kNotes = Hex("00 90 3C 64 60 80 3C 00");

// Damaged files, the program going on after them and the user's file staying untouched are
// pinned for the whole window in the robustness tests; these pin the load's own steps.
class LoadDriverTest : public testing::SessionTest {
 protected:
  // Opens `bytes` saved as the user's file `name`, as start-up or a dialog choice would.
  void Open(const Bytes& bytes, const std::string& name = "song.mid") {
    path = UserFile(name, bytes);
    OpenMidiFile(session, path);
  }
  bool Loaded() const { return session.file.FileLoaded && session.file.LoadState != kLoadFailed; }
  std::string path;
};

TEST_F(LoadDriverTest, AGoodFileFillsTheWindowTheReportAndThePlayer) {
  const Bytes file = Smf(1, 96, {Hex("00 FF 03 05") + "Piano" + kNotes + kEnd, kNotes + kEnd, kEnd});
  Open(file);
  ASSERT_TRUE(Loaded());
  EXPECT_EQ(session.file.ShortName, "SONG.MID");
  EXPECT_EQ(session.file.LastOpenedPath, path);
  EXPECT_EQ(AppFileBytes(kWorkCopyName), file);
  EXPECT_EQ(ui.Texts[Control::Text1], std::to_string(file.size()));
  EXPECT_EQ(ui.Texts[Control::Text3], "3");
  EXPECT_EQ(ui.Texts[Control::Text4], "Multi");
  EXPECT_EQ(ui.Texts[Control::Text5], "96");
  EXPECT_EQ(ui.Caption, " Quavert 0.15 - " + path);
  EXPECT_EQ(ui.ComboItems, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(ui.Texts[Control::Combo1], "1");
  for (Control control : {Control::mnuSave, Control::Command1, Control::Command2, Control::Text5, Control::mnuPlay})
    EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
  for (Control control : {Control::Command5, Control::mnuPause, Control::mnuStop, Control::Toolbar2Button5,
                          Control::Toolbar2Button6})
    EXPECT_FALSE(ui.IsEnabled(control)) << ControlName(control);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_FALSE(ui.Busy);
  EXPECT_EQ(media.Commands,
            (std::vector<std::string>{"Close REDevid1 notify",
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

TEST_F(LoadDriverTest, FormatsReadOnlyTheLowByteAndTheTrackCountIsCorrectedSilently) {
  Bytes high = Smf(0, 96, {kEnd});
  high[8] = 1;  // format bytes 01 00
  Open(high);
  EXPECT_TRUE(Loaded());
  EXPECT_EQ(ui.Texts[Control::Text4], "single");
  Bytes file = Smf(2, 96, {kEnd, kEnd});
  file[10] = '\xFF';
  file[11] = '\xFF';  // 65535 tracks announced: read unsigned, never overflowing
  Open(file);
  ASSERT_TRUE(Loaded());
  EXPECT_EQ(ui.Texts[Control::Text4], "Multi (independent)");
  EXPECT_NE(AppFileBytes("logs/song.txt").find("Total Tracks: 2\r\nFile Format : Multi (independent)\r\n"),
            std::string::npos);
  EXPECT_EQ(session.file.TotalTracks, 2);
  EXPECT_EQ(ui.Texts[Control::Text3], "2");
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(LoadDriverTest, EachHeaderCheckHasItsMessageInOrder) {
  Bytes wrong_id = Smf(0, 96, {kEnd});
  wrong_id[3] = 'X';
  Bytes wrong_size = Smf(0, 96, {kEnd});
  wrong_size[7] = 7;
  wrong_size[1] = 'X';  // the id is tested first
  Bytes long_size = Smf(0, 96, {kEnd});
  long_size[6] = 1;
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {wrong_id, "SONG.MID is not a MIDI file"},
      {Hex("4D 54 68 64 00 00 00 06 00 00 00 01 00"), "SONG.MID is not a MIDI file"},  // 13 bytes
      {Bytes(), "SONG.MID is not a MIDI file"},
      {wrong_size, "SONG.MID is not a MIDI file"},
      {Mthd(0, 1, 96).replace(7, 1, "\x07") + Mtrk(kEnd), "SONG.MID: Invalid Header Size"},
      {long_size, "SONG.MID: Invalid Header Size"},
      {Smf(3, 96, {kEnd}), "SONG.MID: Invalid File Format"},
      {Smf(0, 96, {kNotes}), "SONG.MID: Invalid Track Length ( 1)"},
      {Smf(0, 0, {kNotes}), "SONG.MID: Invalid Track Length ( 1)"},  // the walk comes before the division
      {Smf(0, 0, {kEnd}), "SONG.MID: Invalid Number of Delta Ticks"},
      {Smf(0, 0xE728, {kEnd}), "SONG.MID: Invalid Number of Delta Ticks"},
      {Smf(0, 0x8000, {kEnd}), "SONG.MID: Invalid Number of Delta Ticks"},
  };
  for (const auto& [bytes, message] : cases) {
    SCOPED_TRACE(testing::ToHex(bytes));
    ui.ClearLog();
    Open(bytes);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(session.file.LoadState, kLoadFailed);
    EXPECT_FALSE(session.file.FileLoaded);
    for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                            Control::Text5, Control::Command2, Control::mnuPlay, Control::Toolbar2Button4})
      EXPECT_FALSE(ui.IsEnabled(control)) << ControlName(control);
    EXPECT_TRUE(ui.ComboItems.empty());
    EXPECT_EQ(media.Commands.back(), "Close REDevid1 notify");
  }
  EXPECT_FALSE(FileExists(app.Join("logs/song.txt"))) << "a failed load creates no report";
}

TEST_F(LoadDriverTest, ReportNamesFollowTheShortName) {
  Open(Smf(0, 96, {kEnd}), "NOTES");
  EXPECT_TRUE(FileExists(app.Join("logs/notxt")));
  Open(Smf(0, 96, {kEnd}), "a.m");
  EXPECT_TRUE(FileExists(app.Join("logs/a.m.txt")));
  Open(Smf(0, 96, {kEnd}), "My Song.Mid");
  EXPECT_EQ(session.file.ShortName, "MY SONG.MID");
  EXPECT_TRUE(FileExists(app.Join("logs/my song.txt")));
}

TEST_F(LoadDriverTest, TheOpenDialogCancelledMissingOrChosen) {
  session.file.MidiPath = "/music/old/song.mid";
  OpenMidiFile(session, "");
  ASSERT_EQ(ui.OpenDialogs.size(), 1u);
  EXPECT_EQ(ui.OpenDialogs[0], (FileDialogSetup{"/music/old/", "Load MIDI file",
                                                "MIDI files (*.mid)|*.mid|All files (*.*)|*.*", 4, ""}));
  EXPECT_EQ(session.file.MidiPath, "/music/old/song.mid");
  EXPECT_TRUE(media.Commands.empty());
  EXPECT_TRUE(ui.Messages.empty());

  ui.DialogChoices.push_back({user.Join("gone.mid"), "gone.mid"});
  OpenMidiFile(session, "");
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_EQ(ui.Messages[0].Text, "gone.mid does not exist");
  EXPECT_EQ(ui.Messages[0].IconShown, Icon::kExclamation);
  EXPECT_EQ(session.file.MidiPath, "/music/old/song.mid");

  ui.DialogChoices.push_back({UserFile("chosen.mid", Smf(0, 96, {kEnd})), "chosen.mid"});
  OpenMidiFile(session, "");
  EXPECT_TRUE(Loaded());
  EXPECT_EQ(session.file.ShortName, "CHOSEN.MID");
}

// The working copy left by a run that was stopped may be opened to take up its edits: the load
// neither empties it (the first load of a run) nor deletes it (a later one), and it loads.
TEST_F(LoadDriverTest, TheWorkingCopyItselfCanBeOpened) {
  const Bytes left = Smf(0, 96, {kNotes + kEnd});
  const std::string work = app.Join(kWorkCopyName);
  testing::WriteFileBytes(work, left);
  OpenMidiFile(session, work);
  EXPECT_TRUE(Loaded());
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(testing::ReadFileBytes(work), left);
  EXPECT_EQ(session.decoder.LastEventIndex, 1);

  Open(Smf(1, 96, {kEnd}));
  testing::WriteFileBytes(work, left);
  OpenMidiFile(session, work);
  EXPECT_TRUE(Loaded());
  EXPECT_EQ(testing::ReadFileBytes(work), left);
  EXPECT_EQ(session.file.FileSize, static_cast<std::int64_t>(left.size()));
}

}  // namespace
}  // namespace quavert
