#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "commands/cell_edit.h"
#include "commands/event_list.h"
#include "common/record_file.h"
#include "common/run_error.h"
#include "editing/row_rules.h"
#include "editing_fixture.h"

namespace quavert {
namespace {

class EventListTest : public testing::EditingTest {
 protected:
  EventListTest() { ui.Texts[Control::Text2] = "Track 1\r\n"; }
  EventRecord NotesRecord(std::int64_t number) {
    return ParseEventRecord(RecordFile(session.AppPath(kNotesDat), kEventRecordLength).Get(number));
  }
  std::string DataRecord(std::int64_t number) { return RecordFile(session.AppPath(kDataDat), kListRowLength).Get(number); }
};

const std::vector<EventRecord> kTrack = {
    {192, 0, -1, 0}, {144, 60, 100, 96}, {-1, -1, -1, 24, -1, -2, -1}, {153, 36, 90, 0}, {-176, 10, 64, 264}};

// The report's lines of kTrack listed at 120 beats per minute, 96 ticks per quarter.
std::string TrackReport() {
  return "        C1  0        0      Instrument: Acoustic Grand Piano\r\n"
         "        C1 C5    100 96     On\r\n" +
         std::string(21, ' ') + "24     Text\r\n"
         "        C10 36   90  0      On  - Bass Drum 1\r\n"
         "        C1  10   64  264    Controller: panpot\r\n"
         "        Total Time: 00.03\r\n";
}

TEST_F(EventListTest, NotesButtonListsTheTrackAndReportsItOnce) {
  DecodedRows(kTrack);
  session.decoder.TickMinutes = 60.0 / (2 * 96);  // 120 beats per minute, 96 ticks per quarter
  Command1Click(session);
  EXPECT_EQ(ShownItems(), (std::vector<ListItem>{
                          {"C1 ", {"0", "", "0", "Instrument: Acoustic Grand Piano"}}, {"C1 ", {"C5", "100", "96", "On"}},
                          {"   ", {"", "", "24", "Text"}}, {"C10", {"36", "90", "0", "On  - Bass Drum 1"}},
                          {"C1 ", {"10", "64", "264", "Controller: panpot"}}}));
  EXPECT_EQ(ui.Caption, " Quavert 0.15 - /music/song.mid");
  EXPECT_TRUE(session.NotesDatMade && session.DataDatMade && ui.MessageTexts().empty());
  // The window's state changes in this order.
  auto at = ui.Calls.begin();
  for (const char* call : {"SetBusy(1)", "SetStatusText(Loading...)", "ListReset(5)", "SetStatusText()",
                           "SetEnabled(Command5,1)", "SetBusy(0)"})
    EXPECT_NE(at = std::find(at, ui.Calls.end(), call), ui.Calls.end()) << call;

  // The report gets the lines once per track; Text2 gets the total every time. 384 ticks are two
  // seconds, shown as the next whole second.
  const std::string report = TrackReport();
  EXPECT_EQ(Report(), report);
  CellEditDone(session, 2, 1, "C5", "d5");
  Command1Click(session);  // listing again starts from the decoded rows
  EXPECT_EQ(ShownItems()[1].Sub[0], "C5");
  EXPECT_EQ(Report(), report);
  EXPECT_EQ(ui.Texts[Control::Text2], "Track 1\r\n       Total Time        : 00.03       Total Time        : 00.03");
}

// The working files are rewritten in whole blocks of 100 rows. Numbers too wide for data.dat's
// fields are cut there only, and totalled whole (their rows and report lines: the row rules' tests).
TEST_F(EventListTest, WorkingFilesAreRewrittenInBlocksAndWideNumbersStayWhole) {
  std::vector<EventRecord> track(101, EventRecord{144, 64, 1, 1});
  track[0] = {81, 1000, -1, 1048576};
  track[100] = {144, 60, 1, 2097279};
  DecodedRows(track);
  session.decoder.TickMinutes = 1.0;
  Command1Click(session);
  EXPECT_EQ(std::filesystem::file_size(session.AppPath(kNotesDat)), 200u * kEventRecordLength);
  EXPECT_EQ(std::filesystem::file_size(session.AppPath(kDataDat)), 200u * 56);
  EXPECT_EQ((std::vector{NotesRecord(1), NotesRecord(2), NotesRecord(101), NotesRecord(102)}),
            (std::vector<EventRecord>{{81, 1000, -1, 1048576, -1, -1, -1}, {144, 64, 1, 1, -3, -1, 1},
                                      {144, 60, 1, 2097279, -3, -1, 1}, {}}));
  EXPECT_EQ((std::vector{DataRecord(1), DataRecord(2), DataRecord(101), DataRecord(102)}),
            (std::vector<std::string>{"   1000   104857Set Tempo" + std::string(31, ' '), "C1 E5  1  1     On" + std::string(38, ' '),
                                      "C1 C5  1  209727On" + std::string(38, ' '), std::string(56, ' ')}));
  const std::string report = Report();
  // 3145954 sixtieths of a second: 52432 seconds and a part, shown as 873 minutes 53.
  EXPECT_TRUE(report.ends_with("        C1 C5    1   2097279 On\r\n        Total Time: 873.53\r\n")) << report.substr(report.size() - 100);
}

// Any number of rows is listed.
TEST_F(EventListTest, AnyNumberOfRowsIsListed) {
  constexpr std::size_t kRows = 200000;
  const std::vector<EventRecord> track(kRows, EventRecord{153, 36, 0, 1});
  DecodedRows(track);
  Command1Click(session);
  const std::vector<ListItem> items = ShownItems();
  ASSERT_EQ(items.size(), kRows);
  EXPECT_EQ(items[kRows - 1].Sub[3], "Off - Bass Drum 1");
  EXPECT_EQ(NotesRecord(kRows).RowKind, -2);
}

// Rows handed over instead of kept (quavert-cli's list and report) are the rows the list would
// show, with the same working files, report and Text2; nothing stays to show or save. A listener
// that fails ends the listing as a working file that cannot be written does.
TEST_F(EventListTest, RowsHandedOverAreThoseTheListShowsAndNoneIsKept) {
  struct Listener final : ListedRows {
    void Row(std::int64_t index, const ListRowTexts& texts) override {
      if (index == fail_at) throw RunError(kDiskFull);
      ListItem item{ShownCell(texts, 0), {}};
      for (std::size_t column = 1; column < texts.size(); ++column) item.Sub[column - 1] = ShownCell(texts, column);
      rows.push_back(item);
    }
    std::vector<ListItem> rows;
    std::int64_t fail_at = -1;
  };
  const auto working_files = [this] {
    return testing::ReadFileBytes(session.AppPath(kNotesDat)) + testing::ReadFileBytes(session.AppPath(kDataDat));
  };
  DecodedRows(kTrack);
  session.decoder.TickMinutes = 60.0 / (2 * 96);
  Listener listener;
  EXPECT_TRUE(Command1Click(session, &listener));
  EXPECT_EQ(Report(), TrackReport());
  EXPECT_EQ(ui.Texts[Control::Text2], "Track 1\r\n       Total Time        : 00.03");
  EXPECT_TRUE(ShownItems().empty() && session.buffers.Rows.empty());
  EXPECT_FALSE(session.controls.SaveTrack);
  const std::string handed_over_files = working_files();

  DecodedRows(kTrack);
  Command1Click(session);
  EXPECT_EQ(listener.rows, ShownItems());
  EXPECT_EQ(working_files(), handed_over_files);

  Listener failing;
  failing.fail_at = 2;
  EXPECT_FALSE(Command1Click(session, &failing));
  EXPECT_EQ(failing.rows.size(), 2u);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Error: 61"});
}

// A listing the user stops, told run by run (5000 rows), leaves all as before the click: the
// report without the lines it wrote, Text2, the list empty, "Save Track" off; listed again, it
// writes what a listing never stopped writes. Listing a list shown again and stopping brings that
// list back with its edit and undo step, and notes.dat and data.dat byte for byte, though the
// listing wrote records of both again.
TEST_F(EventListTest, StoppedListingLeavesEverythingAsBefore) {
  std::vector<EventRecord> track;
  for (int copy = 0; copy < 2400; ++copy) track.insert(track.end(), kTrack.begin(), kTrack.end());
  DecodedRows(track);
  session.decoder.TickMinutes = 60.0 / (2 * 96);
  session.report.WriteLine("Track 1");
  const std::string report = Report();
  ui.StopAtProgress = 2;
  EXPECT_FALSE(Command1Click(session));
  using Told = std::vector<std::pair<std::int64_t, std::int64_t>>;
  EXPECT_EQ(ui.ProgressTold, (Told{{5000, 12000}, {10000, 12000}}));
  EXPECT_EQ(Report(), report);
  EXPECT_EQ(ui.Texts[Control::Text2], "Track 1\r\n");
  EXPECT_TRUE(ShownItems().empty() && session.buffers.Rows.empty() && session.list.TotalTimeText.empty());
  EXPECT_FALSE(ui.IsEnabled(Control::Command5) || session.controls.SaveTrack || ui.Busy);
  EXPECT_EQ(ui.StatusText, "Cancelled");
  EXPECT_TRUE(ui.WorkStoppable && ui.WorkDepth == 0 && ui.MessageTexts().empty());

  ui.ProgressTold.clear();
  ui.StopAtProgress = 0;
  EXPECT_TRUE(Command1Click(session));
  EXPECT_EQ(ui.ProgressTold, (Told{{5000, 12000}, {10000, 12000}, {12000, 12000}}));
  std::string lines = report;
  const std::string five = TrackReport().substr(0, TrackReport().rfind("        Total"));
  for (int copy = 0; copy < 2400; ++copy) lines += five;
  const std::string listed = Report();
  EXPECT_EQ(listed.substr(0, lines.size()), lines);
  EXPECT_TRUE(listed.substr(lines.size()).starts_with("        Total Time: ")) << listed.substr(lines.size());
  EXPECT_EQ(std::count(listed.begin() + static_cast<std::ptrdiff_t>(lines.size()), listed.end(), '\n'), 1);
  EXPECT_EQ(ShownItems().size(), 12000u);

  const std::string first_row = DataRecord(1);
  CellEditDone(session, 2, 2, ListCellText(session, 2, 2), "65");
  DecodedRows(track);  // records as a decode writes them: a listing writes each one again
  RecordFile(session.AppPath(kDataDat), kListRowLength).Put(1, std::string(kListRowLength, 'x'));
  const auto shown = [&] {
    return std::tuple(ShownItems(), ui.ListRows, session.undo.List(), session.undo.UndoName(), Report(),
                      AppFileBytes(kNotesDat), AppFileBytes(kDataDat), ui.IsEnabled(Control::Command5));
  };
  const auto before = shown();
  ASSERT_EQ(std::get<0>(before)[1].Sub[1], "65");
  ui.ProgressTold.clear();
  ui.StopAtProgress = 2;
  EXPECT_FALSE(Command1Click(session));
  EXPECT_TRUE(shown() == before);
  EXPECT_EQ(ui.StatusText, "Cancelled");
  for (const std::string& left : {session.AppPath(kNotesDat) + ".before", session.AppPath(kDataDat) + ".new"})
    EXPECT_FALSE(std::filesystem::exists(left)) << left;

  ui.StopAtProgress = 0;
  EXPECT_TRUE(Command1Click(session));
  EXPECT_EQ(std::tuple(ShownItems().size(), ListCellText(session, 2, 2), Report()), std::tuple(12000u, "100", listed));
  EXPECT_EQ(DataRecord(1), first_row);
  EXPECT_FALSE(std::filesystem::exists(session.AppPath(kDataDat) + ".new"));
}

// A long list is on show before its files are written, with the texts it has at the end, though
// the listing writes each record again; stopped, it is taken away again.
TEST_F(EventListTest, LongListIsShownBeforeItsFilesAreWritten) {
  std::vector<EventRecord> track;
  for (int copy = 0; copy < 20000; ++copy) track.insert(track.end(), kTrack.begin(), kTrack.end());
  DecodedRows(track);
  auto texts = [&] {
    std::vector<std::string> cells;
    for (std::int64_t item : {1, 2, 3, 4, 5, 50003, 99999, 100000})
      for (int column = 0; column < 5; ++column) cells.push_back(ListCellText(session, item, column));
    return cells;
  };
  std::vector<std::string> early;
  std::size_t progress_told = 1;
  ui.OnDoEvents = [&] {
    ASSERT_EQ(ui.ListRows, 100000);
    early = texts();
    progress_told = ui.ProgressTold.size();
  };
  ui.StopAtProgress = 3;
  EXPECT_FALSE(Command1Click(session));
  EXPECT_EQ(progress_told, 0u);
  EXPECT_TRUE(ShownItems().empty() && session.buffers.Rows.empty() && ui.ListRows == 0);

  ui.StopAtProgress = 0;
  ui.Calls.clear();
  EXPECT_TRUE(Command1Click(session));
  EXPECT_EQ(early, texts());
  EXPECT_EQ(early[3 * 5 + 4], "On  - Bass Drum 1");
  EXPECT_EQ(session.buffers.Rows.Record(3), NotesRecord(4));
  EXPECT_EQ(std::count(ui.Calls.begin(), ui.Calls.end(), "ListReset(100000)"), 1);
  EXPECT_EQ(ui.DoEventsCount, 2);
}

// notes.dat removed or cut behind the program's back holds fewer rows than the decode wrote:
// listing blanks as rows of zeros would let "Save Track" write them into the track.
TEST_F(EventListTest, WorkingFileMissingRowsFailsTheListing) {
  DecodedRows(kTrack);
  std::filesystem::resize_file(session.AppPath(kNotesDat), 4 * kEventRecordLength);
  Command1Click(session);
  EXPECT_TRUE(ShownItems().empty() && !ui.IsEnabled(Control::Command5));
  std::filesystem::remove(session.AppPath(kNotesDat));
  Command1Click(session);
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Error: 62", "Error: 53"}));
  EXPECT_FALSE(std::filesystem::exists(session.AppPath(kNotesDat)));
  EXPECT_TRUE(session.buffers.Rows.empty());
}

}  // namespace
}  // namespace quavert
