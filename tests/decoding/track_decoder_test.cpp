#include <gtest/gtest.h>

#include <sys/stat.h>

#include "decoding_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::kEnd;
using testing::Notes;
using testing::Row;
using testing::Smf;

class TrackDecoderTest : public testing::DecodingTest {};

TEST_F(TrackDecoderTest, TrackOfNothingButItsEnd) {
  LoadTrack(Hex("00") + kEnd);
  EXPECT_EQ(Text2(), "       Track             : 1\r\n       Length            : 4\r\n");
  EXPECT_EQ(LastEventIndex(), -1);
  EXPECT_EQ(session.decoder.FirstEventPos, -1);
  EXPECT_FALSE(ui.IsEnabled(Control::Command1));
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(session.decoder.TrackLength, 4);
  EXPECT_TRUE(session.file.TrackReportFlags[1][1]);
}

TEST_F(TrackDecoderTest, NotesKeepTheirStatusUnderRunningStatus) {
  LoadTrack(Hex("00 90 3C 64 10 3C 00 00 C0 05 00 06 00") + kEnd);
  const auto records = NotesRecords();
  ASSERT_EQ(LastEventIndex(), 3);
  EXPECT_EQ(records[0], Row(144, 60, 100, 16));
  EXPECT_EQ(records[1], Row(144, 60, 0, 0));
  EXPECT_EQ(records[2], Row(192, 5, -1, 0));
  EXPECT_EQ(records[3], Row(192, 6, -1, 0));
  EXPECT_TRUE(ui.IsEnabled(Control::Command1));
  EXPECT_EQ(session.decoder.FirstEventPos, 14 + 8 + 2);  // the first status byte
}

TEST_F(TrackDecoderTest, ControllersPressureAndPitchBendAreNegatedUnderRunningStatus) {
  LoadTrack(Hex("00 B0 07 64 10 0A 40 00 A1 3C 10 00 3D 11 00 D2 20 00 21 00 E3 00 40 00 7F 7F 05") + kEnd);
  const auto records = NotesRecords();
  ASSERT_EQ(LastEventIndex(), 7);
  EXPECT_EQ(records[0], Row(176, 7, 100, 16));
  EXPECT_EQ(records[1], Row(-176, 10, 64, 0));
  EXPECT_EQ(records[2], Row(161, 60, 16, 0));
  EXPECT_EQ(records[3], Row(-161, 61, 17, 0));
  EXPECT_EQ(records[4], Row(210, 32, -1, 0));
  EXPECT_EQ(records[5], Row(-210, 33, -1, 0));
  EXPECT_EQ(records[6], Row(227, 0, 64, 0));
  EXPECT_EQ(records[7], Row(-227, 127, 127, 5));
}

TEST_F(TrackDecoderTest, ControllerValueAboveOneTwentySevenIsStoredAsOneTwentySeven) {
  LoadTrack(Hex("00 B0 07 C8 00 0A FF 00") + kEnd);
  EXPECT_EQ(NotesRecords()[0], Row(176, 7, 127, 0));
  EXPECT_EQ(NotesRecords()[1], Row(-176, 10, 127, 0));
}

TEST_F(TrackDecoderTest, ControllerCutShortByAStatusByteMakesNoRowButStartsTheTimedPart) {
  LoadTrack(Hex("00 B0 90 3C 64 00") + kEnd);
  ASSERT_EQ(LastEventIndex(), 0);
  EXPECT_EQ(NotesRecords()[0], Row(144, 60, 100, 0));
  EXPECT_EQ(session.decoder.FirstEventPos, 14 + 8 + 2);
}

TEST_F(TrackDecoderTest, StrayBytesAreSkipped) {
  LoadTrack(Hex("00 FF 03 01 41 00 3C 00 F4 90 3C 64 00") + kEnd);
  EXPECT_TRUE(ui.Messages.empty());
  ASSERT_EQ(LastEventIndex(), 0);
  EXPECT_EQ(NotesRecords()[0], Row(144, 60, 100, 0));
}

TEST_F(TrackDecoderTest, DeltasOfAnySizeReadBackExactly) {
  LoadTrack(Hex("00 90 3C 64 81 80 00 3C 00 FF FF FF 3C 00 FF FF 7F 3C 00 BD 84 40") + kEnd);
  const auto records = NotesRecords();
  EXPECT_EQ(records[0].Delta, 16384);
  EXPECT_EQ(records[1].Delta, 2097279);
  EXPECT_EQ(records[2].Delta, 2097151);
  EXPECT_EQ(records[3].Delta, 1000000);
  EXPECT_EQ(AppFileBytes(kNotesDat).substr(kEventRecordLength + 21, 7), "2097279");
}

TEST_F(TrackDecoderTest, SystemExclusiveRowsAndPositions) {
  LoadTrack(Hex("00 F0 03 7E 7F F7 10 90 3C 64 00 F7 02 01 02 05") + kEnd);
  const auto records = NotesRecords();
  ASSERT_EQ(LastEventIndex(), 2);
  EXPECT_EQ(records[0], Row(240, -1, -1, 16));
  EXPECT_EQ(records[2], Row(247, -1, -1, 5));
  const std::int64_t data = 14 + 8 + 1;  // position of the track's first data byte
  EXPECT_EQ(session.decoder.SysexIndex, 1);
  EXPECT_EQ(session.decoder.SysexStart, (std::vector<std::int64_t>{data + 1, data + 11}));
  EXPECT_EQ(session.decoder.SysexEnd, (std::vector<std::int64_t>{data + 5, data + 14}));
  EXPECT_EQ(session.decoder.FirstEventPos, data + 1);
}

TEST_F(TrackDecoderTest, AnyNumberOfSystemExclusiveEventsAnywhereInTheFile) {
  // 40000 bytes of system exclusive first, so that the later ones lie past byte 32767;
  // then 300 more, beyond any fixed table.
  Bytes data = Hex("00 F0 82 B8 40") + Bytes(40000, '\x01') + Hex("00");
  for (int i = 0; i < 300; ++i) data += Hex("F0 02 7E F7 00");
  LoadTrack(data + kEnd);
  EXPECT_TRUE(ui.Messages.empty());
  const auto& decoder = session.decoder;
  ASSERT_EQ(decoder.SysexIndex, 300);
  ASSERT_EQ(decoder.SysexStart.size(), 301u);
  const std::int64_t last_start = 14 + 8 + 1 + 1 + 4 + 40000 + 1 + 299 * 5;
  EXPECT_EQ(decoder.SysexStart[300], last_start);
  EXPECT_EQ(decoder.SysexEnd[300], last_start + 3);
  EXPECT_EQ(decoder.SysexEnd[0], 14 + 8 + 1 + 4 + 40000);
  EXPECT_EQ(LastEventIndex(), 300);
}

TEST_F(TrackDecoderTest, HugeTrackDecodesEveryEvent) {
  LoadTrack(Hex("00") + Notes(20000) + kEnd);
  EXPECT_EQ(LastEventIndex(), 19999);
  const auto records = NotesRecords();
  ASSERT_EQ(records.size(), 20000u);
  EXPECT_EQ(records[19999], Row(144, 19999 % 128, 64, 0));
}

class FailedDecodeTest : public testing::DecodingTest {
 protected:
  // The state after a decode that stopped, whether during the load or from the track chooser.
  void ExpectStopped(const std::string& message) {
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(Text2(), "");
    for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                            Control::Text5, Control::Command2, Control::mnuPlay, Control::Toolbar2Button4})
      EXPECT_FALSE(ui.IsEnabled(control)) << ControlName(control);
    EXPECT_TRUE(session.file.FileLoaded);
    EXPECT_FALSE(session.file.TrackReportFlags[1][static_cast<std::size_t>(session.file.CurrentTrack)]);
  }
  // Loads a good track 1 and then chooses `bad` as track 2.
  void ChooseBadTrack(const Bytes& bad) {
    Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, bad}));
    ui.ClearLog();
    files_before_ = testing::OpenFileCount();
    Choose(2);
  }
  int files_before_ = 0;
};

TEST_F(FailedDecodeTest, StopsDuringTheLoadAndTheFileStaysLoaded) {
  LoadTrack(Hex("00 FF 51 03 00 00 00 00") + kEnd);
  ExpectStopped("ERROR: Invalid Tempo");
  EXPECT_EQ(LoadState(), kLoadNormal);  // the load itself succeeded
  ASSERT_EQ(ui.ComboItems.size(), 1u);
}

TEST_F(FailedDecodeTest, EveryUnusableEventHasItsMessage) {
  struct Case {
    const char* bytes;
    const char* message;
  };
  for (const Case& c : {Case{"00 C0 80 00", "ERROR: Invalid Instrument"},
                        Case{"00 FF 07 01 41 00", "Invalid byte: 7"},
                        Case{"00 FF 60 00 00", "Invalid byte: 96"},
                        Case{"00 FF 20 00 00", "ERROR: Invalid Channel Prefix"},
                        Case{"00 FF 51 00 00", "ERROR: Invalid Tempo"},
                        Case{"00 FF 51 02 07 A1 00", "ERROR: Invalid Tempo"},
                        Case{"00 FF 58 00 00", "ERROR: Invalid Time Signature"},
                        Case{"00 FF 58 03 04 02 18 00", "ERROR: Invalid Time Signature"},
                        Case{"00 FF 58 04 00 02 18 08 00", "ERROR: Invalid Time Signature"},
                        Case{"00 FF 58 04 04 0F 18 08 00", "ERROR: Invalid Time Signature"},
                        Case{"00 FF 59 00 00", "ERROR: Invalid Key Signature"},
                        Case{"00 FF 59 01 00 00", "ERROR: Invalid Key Signature"}}) {
    SCOPED_TRACE(c.bytes);
    ChooseBadTrack(Hex(c.bytes) + Hex("90 3C 64 00") + kEnd);
    ExpectStopped(c.message);
    EXPECT_EQ(LoadState(), kLoadFailed);
    EXPECT_EQ(testing::OpenFileCount(), files_before_);
  }
}

TEST_F(FailedDecodeTest, ReportKeepsTheLinesUpToTheStopUntilTheTrackDecodesWhole) {
  ChooseBadTrack(Hex("00 FF 03 01 41 00 FF 51 00 00") + kEnd);
  EXPECT_EQ(ReportLinesOfTrack(2), "      0 Name: A\r\n");
}

TEST_F(FailedDecodeTest, TimeSignatureKeepsItsClocksEvenWhenItStops) {
  ChooseBadTrack(Hex("00 FF 58 04 00 02 30 10 00") + kEnd);
  EXPECT_EQ(session.decoder.SigClocks, 48);
  EXPECT_EQ(session.decoder.Sig32nds, 16);
}

TEST_F(FailedDecodeTest, RowsWrittenBeforeTheStopStayInNotesDat) {
  ChooseBadTrack(Hex("00") + Notes(150) + Hex("C0 80 00") + kEnd);
  ExpectStopped("ERROR: Invalid Instrument");
  const auto records = NotesRecords();
  ASSERT_GE(records.size(), 100u);
  EXPECT_EQ(records[99], Row(144, 99, 64, 0));
}

TEST_F(FailedDecodeTest, ReadingPastTheChunkStopsTheDecode) {
  // The text says 5 bytes where 4 are left before the chunk's end; track 3 follows.
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 01 05 41") + kEnd, Hex("00 FF 01 01 41 00") + kEnd}));
  ui.ClearLog();
  Choose(2);
  ExpectStopped("ERROR: Unexpected end of track");
  EXPECT_EQ(LoadState(), kLoadFailed);
}

TEST_F(FailedDecodeTest, EveryKindOfOverrunEndsTheSameWay) {
  for (const char* bytes : {"00 90 3C 64 FF 2F 00",        // a delta swallows the end; the next data runs out
                            "00 F0 FF FF 7F 00 FF 2F 00",  // a system-exclusive length past the end
                            "00 FF 7F 83 00 00 FF 2F 00",  // a sequencer-specific length past the end
                            "00 FF 54 05 01 FF 2F 00"}) {  // SMPTE offset reads six bytes
    SCOPED_TRACE(bytes);
    ChooseBadTrack(Hex(bytes));
    ExpectStopped("ERROR: Unexpected end of track");
    EXPECT_EQ(testing::OpenFileCount(), files_before_);
  }
}

TEST_F(FailedDecodeTest, TruncatedLastTrackStopsAtTheEndOfTheFile) {
  Bytes file = Smf(0, 96, {Hex("00 90 3C 64 00 90 3C 64 00 90 3C 64 00") + kEnd});
  file.resize(file.size() - 6);  // its length field now runs past the end of the file
  Load(file);
  ExpectStopped("ERROR: Unexpected end of track");
}

TEST_F(FailedDecodeTest, RunTimeErrorShowsItsNumberAndTheProgramGoesOn) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 90 3C 64 00") + kEnd}));
  ui.ClearLog();
  // notes.dat cannot be opened: a folder stands in its place.
  ASSERT_EQ(::remove(app.Join(kNotesDat).c_str()), 0);
  ASSERT_EQ(::mkdir(app.Join(kNotesDat).c_str(), 0755), 0);
  files_before_ = testing::OpenFileCount();
  Choose(2);
  ExpectStopped("Error: 75");
  EXPECT_EQ(LoadState(), kLoadFailed);
  EXPECT_EQ(testing::OpenFileCount(), files_before_);
  // Once the folder is gone the same track decodes.
  ASSERT_EQ(::rmdir(app.Join(kNotesDat).c_str()), 0);
  ui.ClearLog();
  Choose(2);
  EXPECT_TRUE(ui.Messages.empty());
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_EQ(LastEventIndex(), 0);
}

TEST_F(FailedDecodeTest, TrackThatIsNotThereIsAnIndexError) {
  Load(Smf(0, 96, {Hex("00 90 3C 64 00") + kEnd}));
  ui.ClearLog();
  Choose(2);
  ExpectStopped("Error: 9");
  EXPECT_EQ(LoadState(), kLoadFailed);
}

TEST_F(FailedDecodeTest, ClosedReportIsARunTimeError) {
  ChooseBadTrack(Hex("00") + kEnd);
  ASSERT_TRUE(ui.Messages.empty());
  session.report.Close();
  Choose(1);  // its heading and lines were written: nothing goes to the report
  EXPECT_TRUE(ui.Messages.empty());
  Load(Smf(1, 96, {Hex("00") + kEnd, Hex("00 FF 03 01 41 00") + kEnd}));
  session.report.Close();
  ui.ClearLog();
  Choose(2);
  ExpectStopped("Error: 52");
}

}  // namespace
}  // namespace quavert
