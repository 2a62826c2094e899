#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <tuple>

#include "commands/cell_edit.h"
#include "commands/event_list.h"
#include "commands/playback_actions.h"
#include "common/file_system.h"
#include "decoding_fixture.h"

namespace quavert {
namespace {

using namespace testing;

class TrackDecoderTest : public DecodingTest {};

TEST_F(TrackDecoderTest, RowsGoOutInWholeBlocksOfAHundredEndedByEmptyRows) {
  for (int events : {101, 20000}) {  // the second file covers the first
    SCOPED_TRACE(events);
    LoadTrack(Hex("00") + Notes(events) + kEnd);
    RowList expected(static_cast<std::size_t>(events + 99) / 100 * 100);  // empty rows: all -1
    for (int row = 0; row < events; ++row) expected[static_cast<std::size_t>(row)] = NoteRecord(144, row % 128, 64, 0);
    EXPECT_EQ(NotesRecords(), expected);
    EXPECT_EQ(AppFileBytes(kNotesDat).size(), expected.size() * kEventRecordLength);
    EXPECT_EQ(session.buffers.EventBuffer.size(), 101u) << "one block in memory";
    if (events == 101) {  // the last row and the first empty one, as they stand in the file
      EXPECT_EQ(AppFileBytes(kNotesDat).substr(100 * kEventRecordLength, 2 * kEventRecordLength),
                " 144    100    64     0        -3     -1      1     -1     -1     -1     -1        -1     -1     -1     ");
    }
  }
}

TEST_F(TrackDecoderTest, ShorterTrackLeavesTheLongerOnesRecordsBeyondItsBlock) {
  Load(Smf(1, 96, {Hex("00") + Notes(250) + kEnd, Hex("00 91 40 20 00") + Notes(29) + kEnd}));
  const auto first = NotesRecords();
  Choose(2);
  // Its 30 rows, 70 empty ones, then the first track's rows and empty rows as they were.
  RowList expected = {NoteRecord(145, 64, 32, 0)};
  for (int row = 0; row < 29; ++row) expected.push_back(NoteRecord(144, row, 64, 0));
  expected.resize(100);
  expected.insert(expected.end(), first.begin() + 100, first.end());
  EXPECT_EQ(std::tuple(LastEventIndex(), NotesRecords() == expected), std::tuple(29, true));
}

// Every damaged event of track 1 is in the robustness catalogue; these stop a track chosen later.
class FailedDecodeTest : public DecodingTest {
 protected:
  // The state after a decode that stopped: its message, Text2 empty, the file commands off, the
  // file still loaded, the track's report lines not marked written, its files closed.
  void ExpectStopped(const std::string& message, int load_state = kLoadFailed) {
    EXPECT_EQ(std::tuple(ui.MessageTexts(), LoadState()), std::tuple(std::vector<std::string>{message}, load_state));
    for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                            Control::Text5, Control::Command2, Control::mnuPlay, Control::Toolbar2Button4})
      EXPECT_FALSE(ui.IsEnabled(control)) << ControlName(control);
    EXPECT_EQ(std::tuple(Text2(), session.file.FileLoaded, OpenFileCount()), std::tuple("", true, files_before_));
    EXPECT_FALSE(session.file.TrackReportFlags[1][static_cast<std::size_t>(session.file.CurrentTrack)]);
  }
  // Chooses track `number` with the logs cleared, counting the open files first.
  void ChooseCounting(int number) {
    ui.ClearLog();
    files_before_ = OpenFileCount();
    Choose(number);
  }
  int files_before_ = 0;
};

// The messages of every stop are the decode step's; here, what a stop leaves in the session.
TEST_F(FailedDecodeTest, StopOfAChosenTrackLeavesTheRowsWrittenAndTheFileLoaded) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00") + Notes(150) + Hex("C0 80 00") + kEnd,
                   Hex("00 FF 01 01 41 00") + kEnd}));
  ChooseCounting(2);
  ExpectStopped("ERROR: Invalid Instrument");
  EXPECT_EQ(NotesRecords().at(99), NoteRecord(144, 99, 64, 0));  // rows written before the stop stay
}

TEST_F(FailedDecodeTest, StopDuringTheLoadKeepsTheFileLoaded) {
  files_before_ = OpenFileCount() + 1;  // the report stays open
  LoadTrack(Hex("00 FF 03 01 41 00 FF 58 04 00 02 30 10 00") + kEnd);
  ExpectStopped("ERROR: Invalid Time Signature", kLoadNormal);  // the load itself succeeded
  EXPECT_EQ(ReportLinesOfTrack(1), "      0 Name: A\r\n");  // the lines up to the stop
}

TEST_F(FailedDecodeTest, RunTimeErrorsShowTheirNumberAndTheProgramGoesOn) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 03 01 41 00") + kEnd}));
  ASSERT_EQ(::remove(app.Join(kNotesDat).c_str()), 0);
  ASSERT_EQ(::mkdir(app.Join(kNotesDat).c_str(), 0755), 0);  // a folder stands in notes.dat's place
  ChooseCounting(2);
  ExpectStopped("Error: 75");
  ASSERT_EQ(::rmdir(app.Join(kNotesDat).c_str()), 0);
  ChooseCounting(3);  // a track not there
  ExpectStopped("Error: 9");
  session.report.Close();  // closed under the decoder
  ChooseCounting(2);
  ExpectStopped("Error: 52");
  ChooseCounting(1);  // nothing stays broken: a good track decodes
  EXPECT_EQ(std::tuple(ui.Messages.size(), LoadState(), LastEventIndex()), std::tuple(0u, int{kLoadNormal}, 0));
}

// Choosing a track in the track chooser decodes it.
class TrackSelectionTest : public DecodingTest {};

TEST_F(TrackSelectionTest, NothingHappensWithoutALoadedFileOrASelection) {
  Load(Hex("4D 54 68 64"));  // a failed load leaves nothing to choose from
  ui.ClearLog();
  Combo1Click(session, 0);
  EXPECT_TRUE(ui.Calls.empty());
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd}));
  ui.ClearLog();
  Combo1Click(session, -1);  // a chooser just emptied
  EXPECT_TRUE(ui.Calls.empty());
}

TEST_F(TrackSelectionTest, DecodesTheChosenTrackWithTheControlsItNeeds) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 03 02 42 32 00 C1 07 00") + kEnd,
                   Hex("00 FF 51 00 00") + kEnd, Hex("00 FF 03 01 41 00") + kEnd}));
  ui.SetEnabled(Control::Command5, true);
  ui.ListReset(1);  // a list shown
  Choose(3);  // fails: the file commands are blocked
  ASSERT_FALSE(ui.IsEnabled(Control::Command1));
  Choose(2);
  EXPECT_EQ(std::tuple(session.file.CurrentTrack, LoadState(), ui.IsEnabled(Control::Command5), ui.ListRows),
            std::tuple(2, int{kLoadNormal}, false, std::int64_t{0}));
  for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                          Control::Text5, Control::Command2})
    EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
  EXPECT_EQ(Text2(), "       Track             : 2\r\n       Length            : 13\r\n"
                     "     0 Name              : B2\r\n");
  Choose(4);  // no rows: nothing to list
  EXPECT_EQ(std::pair(ui.IsEnabled(Control::Command1), ui.IsEnabled(Control::mnuSave)), std::pair(false, true));
}

TEST_F(TrackSelectionTest, EditFrameShowsTheTempoOfTheDecodedTrack) {
  Load(Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00 FF 51 03 09 27 C0 00 90 3C 64 00") + kEnd, Hex("00 90 3C 64 00") + kEnd}));
  EXPECT_EQ(std::tuple(ui.Texts[Control::Text6], ui.IsLocked(Control::Text6), session.decoder.TempoBpm),
            std::tuple("100", false, 120));
  Choose(2);
  EXPECT_EQ(std::tuple(ui.Texts[Control::Text6], ui.IsLocked(Control::Text6), session.decoder.TempoPos),
            std::tuple("", true, -1));
}

TEST_F(TrackSelectionTest, ReportTakesATracksLinesOnItsFirstWholeDecodeOnly) {
  const auto track = Hex("00 FF 03 01 41 00 90 3C 64 00") + kEnd;
  Load(Smf(1, 96, {track, track}));
  Choose(2);
  Choose(1);
  Choose(2);
  const std::string report = Report();
  EXPECT_EQ(ReportLinesOfTrack(1), "      0 Name: A\r\n");
  EXPECT_EQ(report.find("Name: A", report.find("Track : 2")), report.rfind("Name: A"));
  EXPECT_EQ(Text2Lines(), "     0 Name              : A\r\n");  // Text2 shows them every time
}

// An open the user stops in the decode of the new file's first track leaves the file before as
// it was: its list with an edit not yet saved and its undo steps, the window, the working copy,
// notes.dat, its report and the new file's earlier report, and the player going on where it was
// (playing, or resting paused). The report goes on where it was; an open not stopped goes through.
TEST_F(TrackSelectionTest, StoppedOpenLeavesTheFileBeforeAsItWas) {
  const Bytes other = Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00") + Notes(20000) + kEnd});
  const std::string other_path = UserFile("OTHER.MID", other);
  ASSERT_TRUE(OpenMidiFile(session, other_path));
  const auto copy_steps = std::count_if(ui.ProgressTold.begin(), ui.ProgressTold.end(),
                                        [&](const auto& told) { return told.second == std::int64_t(other.size()); });
  const std::string other_report = AppFileBytes("logs/other.txt");

  Load(Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00") + Notes(250) + kEnd, kEnd}));
  ASSERT_TRUE(Command1Click(session));
  CellEditDone(session, 2, 2, ListCellText(session, 2, 2), "65");
  ASSERT_TRUE(session.undo.CanUndo());
  PlayAction(session);
  media.Replies["Status REDevid1 position"] = "700";
  const auto shown = [&] {
    return std::tuple(ShownItems(), ui.ListRows, ui.Texts, ui.ComboItems, ui.Caption, ui.Enabled, ui.Locked,
                      session.file.MidiPath, session.file.CurrentTrack, LastEventIndex(), session.undo.UndoName(),
                      session.undo.List(), Report(), WorkCopy(), AppFileBytes(kNotesDat), session.player.OpenPath);
  };
  const std::string aside[] = {app.Join(kWorkCopyName) + ".before", app.Join("logs/other.txt.before"),
                               app.Join(kNotesDat) + ".new"};

  for (const char* resumed : {"Play REDevid1 from 700 to ", "Seek REDevid1 to 700"}) {
    const auto before = shown();
    const bool paused = session.player.Paused;
    ui.ProgressTold.clear();
    ui.StopAtProgress = static_cast<std::size_t>(copy_steps) + 2;
    EXPECT_FALSE(OpenMidiFile(session, other_path)) << resumed;
    EXPECT_EQ(ui.ProgressTold.size(), ui.StopAtProgress);
    EXPECT_TRUE(shown() == before) << resumed;
    EXPECT_EQ(std::tuple(ui.StatusText, ui.WorkDepth, ui.MessageTexts().empty(), session.player.Paused),
              std::tuple("Cancelled", 0, true, paused));
    EXPECT_EQ(AppFileBytes("logs/other.txt"), other_report);
    for (const std::string& path : aside) EXPECT_FALSE(FileExists(path)) << path;
    EXPECT_EQ(media.Commands.back().rfind(resumed, 0), 0u) << media.Commands.back();
    PauseAction(session);
  }

  ui.StopAtProgress = 0;
  const std::string report = Report();
  Choose(2);
  EXPECT_EQ(Report().substr(0, report.size()), report);
  EXPECT_GT(Report().size(), report.size());

  ASSERT_TRUE(OpenMidiFile(session, other_path));
  EXPECT_EQ(std::tuple(LastEventIndex(), WorkCopy(), AppFileBytes("logs/other.txt")),
            std::tuple(19999, other, other_report));
  for (const std::string& path : aside) EXPECT_FALSE(FileExists(path)) << path;
}

// The first open of a run, stopped, leaves no file loaded and no working copy or report; the same
// file opened again and stopped keeps its report as it was.
TEST_F(TrackSelectionTest, StoppedFirstOpenOrReopenLeavesWhatWasThere) {
  const Bytes song = Smf(1, 96, {Hex("00") + Notes(20000) + kEnd});
  // The decode's first progress, after the copy's, stops it.
  const auto stop_in_the_decode = [&] {
    if (ui.StopAtProgress == 0 && ui.ProgressTold.back().second != std::int64_t(song.size()))
      ui.StopAtProgress = ui.ProgressTold.size();
  };
  ui.OnWorkProgress = stop_in_the_decode;
  Load(song);
  EXPECT_EQ(std::tuple(session.file.FileLoaded, ui.Texts[Control::Text1], ui.ComboItems.size(), ui.StatusText),
            std::tuple(false, "", 0u, "Cancelled"));
  EXPECT_FALSE(FileExists(app.Join(kWorkCopyName)) || FileExists(app.Join("logs/song.txt")));

  ui.OnWorkProgress = nullptr;
  ui.StopAtProgress = 0;
  Load(song);
  const std::string report = Report();
  ui.ProgressTold.clear();
  ui.OnWorkProgress = stop_in_the_decode;
  Load(song);
  EXPECT_EQ(std::tuple(session.file.FileLoaded, LastEventIndex(), Report(), WorkCopy()),
            std::tuple(true, 19999, report, song));
  EXPECT_FALSE(FileExists(app.Join("logs/song.txt.before")));
}

// A working copy set aside that is gone when the open is stopped: everything else comes back,
// the working copy is none rather than the new file's, and the failure is said.
TEST_F(TrackSelectionTest, StoppedOpenSaysWhatItCouldNotPutBack) {
  Load(Smf(1, 96, {Hex("00") + Notes(250) + kEnd}));
  const std::string report = Report();
  const std::int64_t last_row = LastEventIndex();
  const Bytes other = Smf(1, 96, {Hex("00") + Notes(20000) + kEnd});
  // The decode's first progress, after the copy's, stops it.
  ui.OnWorkProgress = [&] {
    if (ui.StopAtProgress != 0 || ui.ProgressTold.back().second == std::int64_t(other.size())) return;
    std::filesystem::remove(app.Join(kWorkCopyName) + ".before");
    ui.StopAtProgress = ui.ProgressTold.size();
  };
  EXPECT_FALSE(OpenMidiFile(session, UserFile("OTHER.MID", other)));
  EXPECT_EQ(std::tuple(ui.MessageTexts(), ui.StatusText, session.file.LastOpenedPath, LastEventIndex(), Report()),
            std::tuple(std::vector<std::string>{"Error: 53"}, "Cancelled", user.Join("SONG.MID"), last_row, report));
  EXPECT_FALSE(FileExists(app.Join(kWorkCopyName)));
}

// A decode the user stops leaves the track shown as it was: its list with an edit not yet saved,
// the window's texts, controls and chooser, the report and notes.dat. Not stopped, it leaves
// notes.dat as a decode written in place would, after a shorter track or a longer one.
TEST_F(TrackSelectionTest, StoppedDecodeLeavesTheTrackShownAsItWas) {
  Load(Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00") + Notes(250) + kEnd, Hex("00") + Notes(20000) + kEnd}));
  const std::string first_decode = AppFileBytes(kNotesDat);
  ASSERT_TRUE(Command1Click(session));
  CellEditDone(session, 2, 2, ListCellText(session, 2, 2), "65");
  const auto shown = [&] {
    return std::tuple(ShownItems(), ui.ListRows, ui.Texts[Control::Text2], ui.Texts[Control::Text6],
                      ui.Texts[Control::Combo1], ui.IsEnabled(Control::Command5), ui.IsLocked(Control::Text6),
                      session.file.CurrentTrack, LastEventIndex(), session.undo.List(), Report(),
                      AppFileBytes(kNotesDat));
  };
  ui.Texts[Control::Combo1] = "1";
  const auto before = shown();
  ASSERT_EQ(std::get<0>(before)[1].Sub[1], "65");

  ui.StopAtProgress = ui.ProgressTold.size() + 2;
  Combo1Click(session, 1, true);
  EXPECT_EQ(ui.ProgressTold.size(), ui.StopAtProgress);
  EXPECT_TRUE(shown() == before);
  EXPECT_EQ(std::tuple(ui.StatusText, ui.WorkDepth, ui.MessageTexts().empty()), std::tuple("Cancelled", 0, true));
  EXPECT_FALSE(FileExists(session.AppPath(kNotesDat) + ".new"));

  ui.StopAtProgress = 0;
  Combo1Click(session, 1, true);
  EXPECT_EQ(std::tuple(LastEventIndex(), ui.Texts[Control::Text6], ShownItems().size()), std::tuple(19999, "", 0u));
  const std::string second_decode = AppFileBytes(kNotesDat);
  ASSERT_EQ(second_decode.size(), 20000 * kEventRecordLength);
  Combo1Click(session, 0, true);
  const std::size_t block = 300 * kEventRecordLength;  // the first track's 250 rows and blanks
  EXPECT_EQ(AppFileBytes(kNotesDat), first_decode.substr(0, block) + second_decode.substr(block));
  EXPECT_FALSE(FileExists(session.AppPath(kNotesDat) + ".new"));
}

}  // namespace
}  // namespace quavert
