#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "common/record_file.h"
#include "editing/event_list.h"
#include "editing/row_rules.h"
#include "editing_fixture.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::WriteFileBytes;

constexpr const char* kCrLf = "\r\n";

class EventListTest : public testing::EditingTest {
 protected:
  EventListTest() {
    OpenReport();
    ui.Texts[Control::Text2] = "       Track             : 1\r\n";
  }

  EventRecord NotesRecord(std::int64_t number) {
    RecordFile notes(session.AppPath(kNotesDat), kEventRecordLength);
    return ParseEventRecord(notes.Get(number));
  }
  std::string DataRecord(std::int64_t number) {
    RecordFile data(session.AppPath(kDataDat), kListRowLength);
    return data.Get(number);
  }
  std::int64_t Records(const char* name) {
    return static_cast<std::int64_t>(std::filesystem::file_size(session.AppPath(name)));
  }
};

// A short track with one row of most kinds.
const std::vector<EventRecord> kTrack = {
    {192, 0, -1, 0},               // program
    {144, 60, 100, 96},            // note on
    {-1, -1, -1, 24, -1, -2, -1},  // text
    {153, 36, 90, 0},              // drum
    {176, 7, 100, 0},              // controller
    {-176, 10, 64, 264},           // controller, running status
    {128, 60, 0, 0},               // note off
};

TEST_F(EventListTest, NotesButtonListsTheTrackInTheWindow) {
  DecodedRows(kTrack);
  session.decoder.TickMinutes = 60.0 / (2 * 96);  // 120 beats per minute, 96 ticks per quarter
  Command1Click(session);

  EXPECT_TRUE(ui.MessageTexts().empty());
  const std::vector<ListItem> expected = {
      {"C1 ", {"0", "", "0", "Instrument: Acoustic Grand Piano"}},
      {"C1 ", {"C5", "100", "96", "On"}},
      {"   ", {"", "", "24", "Text"}},
      {"C10", {"36", "90", "0", "On  - Bass Drum 1"}},
      {"C1 ", {"7", "100", "0", "Controller: volume"}},
      {"C1 ", {"10", "64", "264", "Controller: panpot"}},
      {"C1 ", {"C5", "0", "0", "Off"}},
  };
  EXPECT_EQ(ui.Items, expected);
  EXPECT_EQ(ui.AddedChunks, std::vector<std::size_t>{7});
  // 384 ticks are two seconds, shown as the next whole second.
  EXPECT_EQ(ui.Texts[Control::Text2], "       Track             : 1\r\n       Total Time        : 00.03");
  EXPECT_EQ(session.list.TotalTicks, 384);
  EXPECT_EQ(session.list.TotalTimeText, "       Total Time        : 00.03");
  EXPECT_EQ(ui.Caption, " Quavert 0.15 - /music/song.mid");
  EXPECT_TRUE(session.NotesDatMade);
  EXPECT_TRUE(session.DataDatMade);
  EXPECT_TRUE(session.file.TrackReportFlags[2][1]);

  // The window's state changes in this order, the list is cleared before it is filled.
  const auto& calls = ui.Calls;
  const std::vector<std::string> order = {"SetBusy(1)", "SetStatusText(Loading...)", "ListClear", "SetStatusText()",
                                          "SetEnabled(Command5,1)", "SetBusy(0)"};
  auto at = calls.begin();
  for (const std::string& call : order) {
    at = std::find(at, calls.end(), call);
    EXPECT_NE(at, calls.end()) << call;
  }
  EXPECT_FALSE(ui.Busy);
  EXPECT_TRUE(ui.IsEnabled(Control::Command5));
}

TEST_F(EventListTest, BuffersHoldEveryRowClassified) {
  DecodedRows(kTrack);
  Command1Click(session);
  const auto& events = session.buffers.EventBuffer;
  ASSERT_EQ(events.size(), kTrack.size());
  std::vector<std::int32_t> kinds, states;
  for (const EventRecord& e : events) {
    kinds.push_back(e.RowKind);
    states.push_back(e.NoteState);
  }
  EXPECT_EQ(kinds, (std::vector<std::int32_t>{-4, -3, -1, -2, -5, -5, -3}));
  EXPECT_EQ(states, (std::vector<std::int32_t>{-1, 1, -1, 1, -1, -1, 0}));
  EXPECT_EQ(events[5].Status, -176);
  EXPECT_EQ(session.buffers.ListBuffer[1], (ListRow{"C1", "C5", "100", "96", "On"}));
  EXPECT_EQ(session.buffers.ListBuffer[2], (ListRow{"", "", "", "24", "Text"}));
}

TEST_F(EventListTest, WorkingFilesGetTheClassesAndTheTextsInWholeBlocks) {
  DecodedRows(kTrack);
  Command1Click(session);
  // notes.dat: the classified rows, then the rest of the block as the decoder left it.
  EXPECT_EQ(NotesRecord(2), (EventRecord{144, 60, 100, 96, -3, -1, 1}));
  EXPECT_EQ(NotesRecord(4), (EventRecord{153, 36, 90, 0, -2, -1, 1}));
  EXPECT_EQ(NotesRecord(8), EventRecord{});
  EXPECT_EQ(Records(kNotesDat), 100 * 49);
  // data.dat: the texts as built, in their field widths; blanks after the last row.
  EXPECT_EQ(DataRecord(2), "C1 C5  100" "96    " "On" + std::string(38, ' '));
  EXPECT_EQ(DataRecord(3), std::string(10, ' ') + "24    " "Text" + std::string(36, ' '));
  EXPECT_EQ(DataRecord(8), std::string(56, ' '));
  EXPECT_EQ(Records(kDataDat), 100 * 56);
}

TEST_F(EventListTest, ReportGetsEventLinesAndTotalTimeOncePerTrack) {
  DecodedRows(kTrack);
  session.decoder.TickMinutes = 1.0;
  Command1Click(session);
  const std::string expected = std::string() +
      "        C1  0        0      Instrument: Acoustic Grand Piano" + kCrLf +
      "        C1 C5    100 96     On" + kCrLf +
      std::string(21, ' ') + "24     Text" + kCrLf +
      "        C10 36   90  0      On  - Bass Drum 1" + kCrLf +
      "        C1  7    100 0      Controller: volume" + kCrLf +
      "        C1  10   64  264    Controller: panpot" + kCrLf +
      "        C1 C5    0   0      Off" + kCrLf +
      "        Total Time: 00.07" + kCrLf;
  EXPECT_EQ(ReportBytes(), expected);

  // Listing again adds the total to Text2 again, and nothing to the report.
  Command1Click(session);
  EXPECT_EQ(ReportBytes(), expected);
  EXPECT_EQ(ui.Texts[Control::Text2],
            "       Track             : 1\r\n       Total Time        : 00.07       Total Time        : 00.07");
}

TEST_F(EventListTest, ChangingTempoShowsAQuestionMark) {
  DecodedRows(kTrack);
  session.decoder.TickMinutes = -1;
  Command1Click(session);
  EXPECT_EQ(session.list.TotalTimeText, "       Total time        : ?");
  EXPECT_NE(ReportBytes().find("        Total Time: ?\r\n"), std::string::npos);
}

TEST_F(EventListTest, HundredAndOneEventsFillTwoBlocks) {
  std::vector<EventRecord> track(101, EventRecord{144, 64, 1, 1});
  track[100] = {176, 1, 2, 3};
  DecodedRows(track);
  Command1Click(session);
  EXPECT_EQ(session.buffers.EventBuffer.size(), 101u);
  EXPECT_EQ(ui.Items.size(), 101u);
  EXPECT_EQ(Records(kNotesDat), 200 * 49);
  EXPECT_EQ(Records(kDataDat), 200 * 56);
  EXPECT_EQ(NotesRecord(100), (EventRecord{144, 64, 1, 1, -3, -1, 1}));
  EXPECT_EQ(NotesRecord(101), (EventRecord{176, 1, 2, 3, -5, -1, -1}));
  EXPECT_EQ(NotesRecord(102), EventRecord{});
  EXPECT_EQ(NotesRecord(200), EventRecord{});
  EXPECT_EQ(DataRecord(101).substr(0, 16), "C1 1   2  3     ");
  EXPECT_EQ(DataRecord(102), std::string(56, ' '));
  EXPECT_EQ(session.list.TotalTicks, 103);
}

// A shorter track listed after a longer one leaves the longer one's records beyond it alone.
TEST_F(EventListTest, RecordsBeyondTheTrackAreNotRead) {
  DecodedRows(std::vector<EventRecord>(250, EventRecord{176, 7, 7, 7}));
  Command1Click(session);
  DecodedRows({{144, 60, 1, 0}});
  Command1Click(session);
  EXPECT_EQ(ui.Items.size(), 1u);
  EXPECT_EQ(session.list.TotalTicks, 0);
  EXPECT_EQ(NotesRecord(201), (EventRecord{176, 7, 7, 7, -5, -1, -1}));
  EXPECT_EQ(DataRecord(201).substr(0, 3), "C1 ");
  EXPECT_EQ(DataRecord(2), std::string(56, ' '));
}

TEST_F(EventListTest, ListingAgainDiscardsEditsThatWereNotSaved) {
  DecodedRows(kTrack);
  Command1Click(session);
  session.buffers.EventBuffer[1].Data1 = 61;
  session.buffers.ListBuffer[1].Notes = "61";
  Command1Click(session);
  EXPECT_EQ(session.buffers.EventBuffer[1].Data1, 60);
  EXPECT_EQ(session.buffers.ListBuffer[1].Notes, "C5");
}

// Numbers too wide for data.dat's fields are shown, reported and totalled whole.
TEST_F(EventListTest, WideNumbersStayWhole) {
  DecodedRows({{81, 1000, -1, 1048576}, {144, 60, 1, 2097279}, {-1, -1, -1, 999999, -1, -2, -1}});
  session.decoder.TickMinutes = 1.0;
  Command1Click(session);
  EXPECT_EQ(ui.Items[0].Sub[0], "1000");
  EXPECT_EQ(ui.Items[0].Sub[2], "1048576");
  EXPECT_EQ(ui.Items[1].Sub[2], "2097279");
  EXPECT_EQ(session.buffers.ListBuffer[0].Length, "1048576");
  EXPECT_EQ(session.list.TotalTicks, 1048576 + 2097279 + 999999);
  const std::string report = ReportBytes();
  EXPECT_NE(report.find(" 1000     1048576 Set Tempo\r\n"), std::string::npos);
  EXPECT_NE(report.find("2097279 On\r\n"), std::string::npos);
  // 4145854 sixtieths of a second: 69097 seconds and a part, 1151 minutes.
  EXPECT_NE(report.find("        Total Time: 1151.38\r\n"), std::string::npos);
  // data.dat itself keeps its widths.
  EXPECT_EQ(DataRecord(1).substr(0, 16), "   1000   104857");
}

TEST_F(EventListTest, AnyNumberOfRowsIsListedInChunks) {
  constexpr std::size_t kRows = 200000;
  std::vector<EventRecord> track;
  track.reserve(kRows);
  for (std::size_t i = 0; i < kRows; ++i)
    track.push_back({153, static_cast<std::int32_t>(27 + i % 62), static_cast<std::int32_t>(i % 128), 1});
  DecodedRows(track);
  Command1Click(session);
  ASSERT_EQ(ui.Items.size(), kRows);
  EXPECT_EQ(std::accumulate(ui.AddedChunks.begin(), ui.AddedChunks.end(), std::size_t{0}), kRows);
  EXPECT_EQ(ui.AddedChunks.size(), (kRows + kListFillChunk - 1) / kListFillChunk);
  EXPECT_LE(*std::max_element(ui.AddedChunks.begin(), ui.AddedChunks.end()), kListFillChunk);
  EXPECT_EQ(ui.Items[kRows - 1].Sub[3], "On  - Hi Wood Block");  // key 76, velocity 63
  EXPECT_EQ(NotesRecord(kRows).RowKind, -2);
  EXPECT_EQ(session.list.TotalTicks, static_cast<std::int64_t>(kRows));
}

// Without a usable genmidi.ini the list is still built, its names "unknown".
TEST_F(EventListTest, ListsWithoutGenmidi) {
  for (const std::string& content : {std::string(), std::string("heading only\r\n"), std::string("h\r\n0=Piano\r\n")}) {
    SCOPED_TRACE(content);
    std::filesystem::remove(GenmidiPath());
    if (!content.empty()) WriteFileBytes(GenmidiPath(), content);
    DecodedRows({{192, 0, -1, 0}, {153, 36, 1, 0}, {153, 36, 0, 0}, {176, 7, 1, 0}});
    Command1Click(session);
    ASSERT_EQ(ui.Items.size(), 4u);
    EXPECT_EQ(ui.Items[0].Sub[3], content.find("0=Piano") != std::string::npos ? "Instrument: Piano" : "Instrument: unknown");
    EXPECT_EQ(ui.Items[1].Sub[3], "On  - unknown");
    EXPECT_EQ(ui.Items[2].Sub[3], "Off - unknown");
    EXPECT_EQ(ui.Items[3].Sub[3], "Controller: volume");
    EXPECT_TRUE(ui.MessageTexts().empty());
  }
}

// The drum name remembered from one listing does not outlive a change of genmidi.ini.
TEST_F(EventListTest, NamesFollowAChangedGenmidiBetweenListings) {
  DecodedRows({{153, 36, 1, 0}});
  Command1Click(session);
  EXPECT_EQ(ui.Items[0].Sub[3], "On  - Bass Drum 1");
  WriteFileBytes(GenmidiPath(), "names\r\nRHYTHM:\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nKick\r\n");
  Command1Click(session);
  EXPECT_EQ(ui.Items[0].Sub[3], "On  - Kick");
}

TEST_F(EventListTest, LongDescriptionsAreCutInTheListAndWholeInTheReport) {
  WriteFileBytes(GenmidiPath(), "names\r\n0=" + std::string(50, 'n') + "\r\n");
  DecodedRows({{192, 0, -1, 0}});
  Command1Click(session);
  EXPECT_EQ(ui.Items[0].Sub[3], "Instrument: " + std::string(28, 'n'));
  EXPECT_NE(ReportBytes().find("Instrument: " + std::string(50, 'n') + "\r\n"), std::string::npos);
}

TEST_F(EventListTest, FailedListingLeavesNothingToSave) {
  DecodedRows(kTrack);
  Command1Click(session);
  ASSERT_FALSE(session.buffers.EventBuffer.empty());
  // data.dat cannot be opened.
  std::filesystem::remove(session.AppPath(kDataDat));
  std::filesystem::create_directory(session.AppPath(kDataDat));
  ui.ClearLog();
  Command1Click(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Error: 75"});
  EXPECT_TRUE(session.buffers.EventBuffer.empty());
  EXPECT_TRUE(session.buffers.ListBuffer.empty());
  EXPECT_TRUE(ui.Items.empty());
  EXPECT_FALSE(ui.IsEnabled(Control::Command5));
  EXPECT_FALSE(ui.Busy);
  EXPECT_EQ(ui.StatusText, "");
}

TEST_F(EventListTest, ClosedReportFailsTheListingWithItsErrorNumber) {
  DecodedRows(kTrack);
  session.report.Close();
  Command1Click(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Error: 52"});
  EXPECT_TRUE(ui.Items.empty());
  // A report that could not be created drops its lines instead.
  session.report.MarkUnavailable();
  ui.ClearLog();
  Command1Click(session);
  EXPECT_TRUE(ui.MessageTexts().empty());
  EXPECT_EQ(ui.Items.size(), kTrack.size());
}

TEST_F(EventListTest, TrackWithoutRowsListsNothing) {
  session.decoder.LastEventIndex = -1;
  Command1Click(session);
  EXPECT_TRUE(ui.Items.empty());
  EXPECT_TRUE(ui.MessageTexts().empty());
  EXPECT_EQ(session.list.TotalTimeText, "       Total Time        : 00.01");
}

}  // namespace
}  // namespace quavert
