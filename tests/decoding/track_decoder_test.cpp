#include <gtest/gtest.h>

#include <sys/stat.h>

#include <tuple>

#include "decoding_fixture.h"

namespace quavert {
namespace {

using namespace testing;

class TrackDecoderTest : public DecodingTest {};

TEST_F(TrackDecoderTest, RunningStatusKeepsNotesAndProgramsPositiveAndNegatesTheRest) {
  LoadTrack(Hex("00 90 3C 64 10 3C 00 00 C0 05 00 06 00 B0 07 64 10 0A 40 00 A1 3C 10 00 3D 11 00 D2 20 00 21 00"
                "E3 00 40 00 7F 7F 05") + kEnd);
  EXPECT_EQ(Rows(), (RowList{Row(144, 60, 100, 16), Row(144, 60, 0, 0), Row(192, 5, -1, 0), Row(192, 6, -1, 0),
                          Row(176, 7, 100, 16), Row(-176, 10, 64, 0), Row(161, 60, 16, 0), Row(-161, 61, 17, 0),
                          Row(210, 32, -1, 0), Row(-210, 33, -1, 0), Row(227, 0, 64, 0), Row(-227, 127, 127, 5)}));
}

TEST_F(TrackDecoderTest, OddBytesInsideATrack) {
  // A controller value of 200 is stored as 127; a controller whose value is a status byte makes
  // no row but starts the timed part; stray bytes after a meta event are skipped.
  LoadTrack(Hex("00 B0 90 3C 64 00 B0 07 C8 00 0A FF 00 FF 03 01 41 00 3C 00 F4 80 3C 00 00") + kEnd);
  EXPECT_EQ(Rows(), (RowList{Row(144, 60, 100, 0), Row(176, 7, 127, 0), Row(-176, 10, 127, 0), Row(128, 60, 0, 0)}));
  EXPECT_EQ(std::tuple(session.decoder.FirstEventPos, ui.Messages.size()), std::tuple(14 + 8 + 2, 0u));
}

TEST_F(TrackDecoderTest, EachEventReadsWhatItsTypeSays) {
  LoadTrack(Hex("00 FF 00 02 01")                                     // sequence number: no more; stray bytes
            + Hex("FF 21 05 03 07")                                   // port: one data byte, whatever the length
            + Hex("FF 54 05 60 00 03 00 00 01")                       // SMPTE offset: a length and five
            + Hex("FF 7F 81 00") + Bytes(128, 'A') + Hex("3C")        // sequencer-specific: a variable length
            + Hex("FF 58 04 04 0E 18 08 00")                          // a denominator of 2^14 still fits
            + Hex("90 C8 64 00")                                      // a status-sized note number as read
            + Hex("F0 03 01 02 F7 05 F7 00 00 3C") + kEnd);           // an escape without data; a stray byte
  std::string specific;
  for (int i = 0; i < 128; ++i) specific += " 65";
  EXPECT_EQ(Text2Lines(), "     7 MIDI Port         : 3\r\n"
                          "     1 SMPTE Offset      : 96 0 3 0 0\r\n"
                          "   128 Sequencer Specific:" + specific + "\r\n"
                          "     0 Time Signature    : 4/16384\r\n");
  EXPECT_EQ(Rows(), (RowList{Row(144, 200, 100, 0), Row(240, -1, -1, 5), Row(247, -1, -1, 0)}));
  EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(TrackDecoderTest, DeltasOfAnySizeReadBackExactly) {
  // At most four bytes are read, the fourth whole: FF FF FF FF is 268435583 and the 3C after it
  // is data.
  LoadTrack(Hex("00 90 3C 64 81 80 00 3C 00 FF FF FF FF 3C 00 FF FF 7F 3C 00 BD 84 40 3C 00 81 80 80 00 "
                "3C 00 FF FF FF 7F 3C 00 00") + kEnd);
  EXPECT_EQ(Rows(), (RowList{Row(144, 60, 100, 16384), Row(144, 60, 0, 268435583), Row(144, 60, 0, 2097151),
                             Row(144, 60, 0, 1000000), Row(144, 60, 0, 2097152), Row(144, 60, 0, 0x0FFFFFFF),
                             Row(144, 60, 0, 0)}));
  EXPECT_TRUE(ui.Messages.empty());
  // A fifth byte is not read as part of the delta: it is the next event's.
  LoadTrack(Hex("00 C0 05 81 80 80 80 00") + kEnd);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Unexpected end of track"});
}

TEST_F(TrackDecoderTest, SystemExclusivePositionsForAnyNumberAnywhereInTheFile) {
  // 40000 bytes of system exclusive first, so that the later ones lie past byte 32767; then
  // 300 more and an escape, beyond any fixed table.
  const std::int64_t data = 14 + 8 + 1;  // position of the track's first data byte
  Bytes track = Hex("00 F0 82 B8 40") + Bytes(40000, '\x01') + Hex("10");
  for (int i = 0; i < 300; ++i) track += Hex("F0 02 7E F7 00");
  LoadTrack(track + Hex("F7 00 05") + kEnd);
  const DecoderState& d = session.decoder;
  ASSERT_EQ(d.SysexStart.size(), 302u);
  // The escape has no data: its end is its length byte.
  EXPECT_EQ((std::vector{d.SysexStart[0], d.SysexEnd[0], d.SysexStart[300], d.SysexEnd[300], d.SysexEnd[301] - d.SysexStart[301]}),
            (std::vector<std::int64_t>{data + 1, data + 4 + 40000, data + 40006 + 299 * 5, data + 40006 + 299 * 5 + 3, 1}));
  EXPECT_EQ((RowList{Rows().front(), Rows().back()}), (RowList{Row(240, -1, -1, 16), Row(247, -1, -1, 5)}));
}

TEST_F(TrackDecoderTest, RowsGoOutInWholeBlocksOfAHundredEndedByEmptyRows) {
  for (int events : {101, 20000}) {  // the second file covers the first
    SCOPED_TRACE(events);
    LoadTrack(Hex("00") + Notes(events) + kEnd);
    RowList expected(static_cast<std::size_t>(events + 99) / 100 * 100);  // empty rows: all -1
    for (int row = 0; row < events; ++row) expected[static_cast<std::size_t>(row)] = Row(144, row % 128, 64, 0);
    EXPECT_EQ(NotesRecords(), expected);
    EXPECT_EQ(AppFileBytes(kNotesDat).size(), expected.size() * kEventRecordLength);
    EXPECT_EQ(session.buffers.EventBuffer.size(), 101u) << "one block in memory";
    if (events == 101) {  // the last row and the first empty one, as they stand in the file
      EXPECT_EQ(AppFileBytes(kNotesDat).substr(100 * kEventRecordLength, 2 * kEventRecordLength),
                " 144    100    64     0        -1     -1     -1     -1     -1     -1     -1        -1     -1     -1     ");
    }
  }
}

TEST_F(TrackDecoderTest, ShorterTrackLeavesTheLongerOnesRecordsBeyondItsBlock) {
  Load(Smf(1, 96, {Hex("00") + Notes(250) + kEnd, Hex("00 91 40 20 00") + Notes(29) + kEnd}));
  const auto first = NotesRecords();
  Choose(2);
  // Its 30 rows, 70 empty ones, then the first track's rows and empty rows as they were.
  RowList expected = {Row(145, 64, 32, 0)};
  for (int row = 0; row < 29; ++row) expected.push_back(Row(144, row, 64, 0));
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

TEST_F(FailedDecodeTest, EveryUnusableEventHasItsMessageAndNothingIsReadPastTheTrack) {
  const std::pair<Bytes, const char*> cases[] = {
      {Hex("00 FF 58 00 00 FF 2F 00"), "ERROR: Invalid Time Signature"},  // too short to read
      {Hex("00 FF 59 00 00 FF 2F 00"), "ERROR: Invalid Key Signature"},
      {Hex("00 FF 01 05 41 FF 2F 00"), "ERROR: Unexpected end of track"},     // into the next chunk
      {Hex("00 90 3C 64 FF 2F 00"), "ERROR: Unexpected end of track"},        // a delta swallows the end
      {Hex("00 FF 7F 83 00 00 FF 2F 00"), "ERROR: Unexpected end of track"},  // a length past the end
      {Hex("00 FF 54 05 01 FF 2F 00"), "ERROR: Unexpected end of track"},     // SMPTE reads six
      {Hex("00") + Notes(150) + Hex("C0 80 00") + kEnd, "ERROR: Invalid Instrument"}};
  for (const auto& [bytes, message] : cases) {
    SCOPED_TRACE(message);
    Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, bytes, Hex("00 FF 01 01 41 00") + kEnd}));
    ChooseCounting(2);
    ExpectStopped(message);
  }
  EXPECT_EQ(NotesRecords().at(99), Row(144, 99, 64, 0));  // rows written before the stop stay
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

}  // namespace
}  // namespace quavert
