#include <gtest/gtest.h>

#include <vector>

#include "common/binary_file.h"
#include "common/byte_reader.h"
#include "decoding/delta_time.h"
#include "decoding/event_rows.h"
#include "decoding/event_scanner.h"
#include "support/midi_bytes.h"
#include "support/temp_folder.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;

// Track data put alone in a file, so that positions are 1-based offsets into `data`.
class ScannerTest : public ::testing::Test {
 protected:
  // Every event up to the end of track (or a problem), reading no further than `last`.
  std::vector<ScannedEvent> ScanAll(const Bytes& data, std::int64_t last = -1) {
    Open(data);
    ByteReader reader(*file_, 1, last < 0 ? static_cast<std::int64_t>(data.size()) : last);
    EventScanner scanner(reader);
    leading_ = scanner.Start();
    std::vector<ScannedEvent> events;
    while (auto event = scanner.Next()) events.push_back(*event);
    EXPECT_TRUE(scanner.Finished());
    return events;
  }

  void Open(const Bytes& data) {
    testing::WriteFileBytes(folder_.Join("track"), data);
    file_.emplace(folder_.Join("track"), BinaryFile::Mode::kRead);
  }

  std::optional<BinaryFile> file_;
  DeltaTime leading_;

 private:
  testing::TempFolder folder_;
};

TEST_F(ScannerTest, DeltaTimesReadAtMostThreeBytes) {
  struct Case {
    const char* bytes;
    std::int32_t value;
    std::int64_t used;
  };
  for (const Case& c : {Case{"00", 0, 1}, Case{"7F", 127, 1}, Case{"81 00", 128, 2}, Case{"FF 7F", 16383, 2},
                        Case{"81 80 00", 16384, 3}, Case{"FF FF FF 7F", 2097279, 3}, Case{"FF FF 7F 7F", 2097151, 3},
                        Case{"BD 84 40", 1000000, 3}}) {
    Open(Hex(c.bytes));
    ByteReader reader(*file_, 1, 4);
    EXPECT_EQ(ReadDeltaTime(reader), c.value) << c.bytes;
    EXPECT_EQ(reader.Position(), 1 + c.used) << c.bytes;
  }
  Open(Hex("81 80"));
  ByteReader cut(*file_, 1, 2);
  EXPECT_THROW(ReadDeltaTime(cut), ReadPastLimit);
}

TEST_F(ScannerTest, RunningStatusContinuesTheBranchWithByteRanges) {
  const auto events = ScanAll(Hex("00 90 3C 64 10 3C 00 00 FF 2F 00"));
  EXPECT_EQ(leading_, (DeltaTime{0, 1, 1}));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, ScannedKind::kChannel);
  EXPECT_FALSE(events[0].running);
  EXPECT_EQ(events[0].status, 0x90);
  EXPECT_EQ(events[0].data1, 0x3C);
  EXPECT_EQ(events[0].data2, 0x64);
  EXPECT_EQ(events[0].first, 2);
  EXPECT_EQ(events[0].last, 4);
  EXPECT_EQ(events[0].delta, (DeltaTime{16, 5, 5}));
  EXPECT_TRUE(events[1].running);
  EXPECT_EQ(events[1].status, 0x90);
  EXPECT_EQ(events[1].data1, 0x3C);
  EXPECT_EQ(events[1].data2, 0);
  EXPECT_EQ(events[1].first, 6);
  EXPECT_EQ(events[1].last, 7);
  EXPECT_EQ(events[2].kind, ScannedKind::kEndOfTrack);
  EXPECT_EQ(events[2].first, 9);
  EXPECT_EQ(events[2].last, 10);  // the length byte after 2F is not read
}

TEST_F(ScannerTest, OneByteMessagesAndMultiByteDeltas) {
  const auto events = ScanAll(Hex("00 C0 05 81 00 06 00 D0 40 00 41 00 FF 2F 00"));
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].data2, -1);
  EXPECT_EQ(events[0].delta, (DeltaTime{128, 4, 5}));
  EXPECT_TRUE(events[1].running);
  EXPECT_EQ(events[1].data1, 6);
  EXPECT_EQ(events[1].first, 6);
  EXPECT_EQ(events[2].status, 0xD0);
  EXPECT_TRUE(events[3].running);
  EXPECT_EQ(events[3].status, 0xD0);
  EXPECT_EQ(events[3].data1, 0x41);
}

TEST_F(ScannerTest, StatusByteInPlaceOfControllerDataStartsTheNextEvent) {
  // B0 is followed by 90: the controller has no data, and 90 3C 64 is a note of its own.
  const auto events = ScanAll(Hex("00 B0 90 3C 64 00 A1 FF 2F 00"));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].kind, ScannedKind::kCutChannel);
  EXPECT_EQ(events[0].first, 2);
  EXPECT_EQ(events[0].last, 2);
  EXPECT_EQ(events[0].delta.value, -1);
  EXPECT_EQ(events[1].kind, ScannedKind::kChannel);
  EXPECT_FALSE(events[1].running);
  EXPECT_EQ(events[1].status, 0x90);
  EXPECT_EQ(events[1].first, 3);
  EXPECT_EQ(events[1].delta.value, 0);
  EXPECT_EQ(events[2].kind, ScannedKind::kCutChannel);  // polyphonic pressure the same way
  EXPECT_EQ(events[2].status, 0xA1);
  EXPECT_EQ(events[3].kind, ScannedKind::kEndOfTrack);
}

TEST_F(ScannerTest, FirstDataBytesAreTakenAsReadExceptWhereTheyEndTheEvent) {
  // A note and a pitch bend take a status-sized first data byte as data; a controller value
  // above 127 is consumed and reported as read.
  const auto events = ScanAll(Hex("00 90 C8 64 00 E0 FF 00 00 B0 07 C8 00 FF 2F 00"));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].data1, 0xC8);
  EXPECT_EQ(events[1].data1, 0xFF);
  EXPECT_EQ(events[2].data2, 200);
  EXPECT_EQ(events[2].last, 12);
}

TEST_F(ScannerTest, ProgramChangeAboveOneTwentySevenEndsTheScan) {
  const auto events = ScanAll(Hex("00 C0 80 00 FF 2F 00"));
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].problem, ScanProblem::kInvalidInstrument);
  EXPECT_EQ(events[0].last, 3);
  EXPECT_EQ(events[0].delta.value, -1);
}

TEST_F(ScannerTest, SystemExclusiveSpansStatusThroughLastByte) {
  // F0 03 01 02 F7, delta 5; F7 00 (no data: the length byte is its last), delta 0.
  const auto events = ScanAll(Hex("00 F0 03 01 02 F7 05 F7 00 00 FF 2F 00"));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, ScannedKind::kSysex);
  EXPECT_EQ(events[0].status, 0xF0);
  EXPECT_EQ(events[0].length, 3);
  EXPECT_EQ(events[0].first, 2);
  EXPECT_EQ(events[0].last, 6);
  EXPECT_EQ(events[0].delta, (DeltaTime{5, 7, 7}));
  EXPECT_EQ(events[1].status, 0xF7);
  EXPECT_EQ(events[1].first, 8);
  EXPECT_EQ(events[1].last, 9);
  EXPECT_TRUE(events[1].data.empty());
}

TEST_F(ScannerTest, DataBytesAfterAMetaEventAreStrayBytes) {
  // Sequence number: nothing after its type is read, so 02 00 01 and the delta 00 are stray.
  // After a system-exclusive event a data byte starts no running status either.
  const auto events = ScanAll(Hex("00 FF 00 02 00 01 00 F0 00 00 3C FF 2F 00"));
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].kind, ScannedKind::kMeta);
  EXPECT_EQ(events[0].meta_type, 0);
  EXPECT_EQ(events[0].last, 3);
  EXPECT_EQ(events[0].delta.value, -1);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(events[i].kind, ScannedKind::kStray);
    EXPECT_EQ(events[i].first, 3 + i);
  }
  EXPECT_EQ(events[1].status, 0x02);
  EXPECT_EQ(events[6].kind, ScannedKind::kStray);
  EXPECT_EQ(events[6].status, 0x3C);
  EXPECT_EQ(events[6].first, 11);
}

TEST_F(ScannerTest, StatusBytesThatStartNothingAreStray) {
  const auto events = ScanAll(Hex("00 F1 F6 F8 FE 90 3C 64 00 FF 2F 00"));
  ASSERT_EQ(events.size(), 6u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(events[i].kind, ScannedKind::kStray) << i;
  EXPECT_EQ(events[4].kind, ScannedKind::kChannel);
}

TEST_F(ScannerTest, MetaEventsReadWhatTheirTypeSays) {
  const Bytes data = Hex("00 FF 21 05 03 07")          // port: exactly two bytes whatever the length says
                     + Hex("FF 54 05 60 00 03 00 00 01")  // SMPTE offset: a length byte and five
                     + Hex("FF 7F 81 00") + Bytes(128, '\x41') + Hex("3C")  // sequencer-specific, VLQ length
                     + Hex("FF 03 02") + "Hi" + Hex("00") + Hex("FF 2F 00");
  const auto events = ScanAll(data);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].meta_type, 0x21);
  EXPECT_EQ(events[0].length, 5);
  EXPECT_EQ(events[0].data, Hex("03"));
  EXPECT_EQ(events[0].delta, (DeltaTime{7, 6, 6}));
  EXPECT_EQ(events[1].data, Hex("60 00 03 00 00"));
  EXPECT_EQ(events[1].delta.value, 1);
  EXPECT_EQ(events[2].length, 128);
  EXPECT_EQ(events[2].data, Bytes(128, '\x41'));
  EXPECT_EQ(events[2].data_first, 20);
  EXPECT_EQ(events[2].delta.value, 60);
  EXPECT_EQ(events[3].data, "Hi");
  EXPECT_EQ(events[3].first, 149);
  EXPECT_EQ(events[3].last, 153);
}

TEST_F(ScannerTest, UnusableMetaEventsEndTheScanBeforeTheirDelta) {
  struct Case {
    Bytes bytes;
    ScanProblem problem;
  };
  const std::vector<Case> cases = {
      {Hex("00 FF 07 01 41 00"), ScanProblem::kInvalidMetaType},
      {Hex("00 FF 20 00 00"), ScanProblem::kInvalidChannelPrefix},
      {Hex("00 FF 51 00 00"), ScanProblem::kInvalidTempo},
      {Hex("00 FF 51 02 07 A1 00"), ScanProblem::kInvalidTempo},
      {Hex("00 FF 51 03 00 00 00 00"), ScanProblem::kInvalidTempo},
      {Hex("00 FF 58 03 04 02 18 00"), ScanProblem::kInvalidTimeSignature},
      {Hex("00 FF 58 04 00 02 18 08 00"), ScanProblem::kInvalidTimeSignature},
      {Hex("00 FF 58 04 04 0F 18 08 00"), ScanProblem::kInvalidTimeSignature},
      {Hex("00 FF 58 04 04 80 18 08 00"), ScanProblem::kInvalidTimeSignature},
      {Hex("00 FF 59 01 00 00"), ScanProblem::kInvalidKeySignature},
      {Hex("00 FF 59 00 00"), ScanProblem::kInvalidKeySignature},
  };
  for (const Case& c : cases) {
    const auto events = ScanAll(c.bytes + Hex("FF 2F 00"));
    ASSERT_EQ(events.size(), 1u) << testing::ToHex(c.bytes);
    EXPECT_EQ(events[0].problem, c.problem) << testing::ToHex(c.bytes);
    EXPECT_EQ(events[0].delta.value, -1) << testing::ToHex(c.bytes);
    EXPECT_EQ(events[0].data_first, events[0].meta_type == 7 ? -1 : 5) << testing::ToHex(c.bytes);
  }
  // A time signature with dd 14 still fits.
  const auto fits = ScanAll(Hex("00 FF 58 04 04 0E 18 08 00 FF 2F 00"));
  EXPECT_EQ(fits[0].problem, ScanProblem::kNone);
}

TEST_F(ScannerTest, NothingIsReadPastTheRange) {
  // The range ends after "41": the text's length says 5 while the file goes on.
  EXPECT_THROW(ScanAll(Hex("00 FF 01 05 41 FF 2F 00 00 00 00"), 5), ReadPastLimit);
  EXPECT_THROW(ScanAll(Hex("00 90 3C")), ReadPastLimit);
  EXPECT_THROW(ScanAll(Hex("00 F0 FF FF 7F 00 FF 2F 00")), ReadPastLimit);  // 2 MB of data announced
  EXPECT_THROW(ScanAll(Hex("00 90 3C 64 81")), ReadPastLimit);              // the delta is cut
  EXPECT_THROW(ScanAll(Hex("00 90 3C 64 00")), ReadPastLimit);              // no end of track
}

TEST_F(ScannerTest, NextGivesNothingAfterTheEndOfTrack) {
  Open(Hex("00 FF 2F 00 90 3C 64 00"));
  ByteReader reader(*file_, 1, 8);
  EventScanner scanner(reader);
  ASSERT_TRUE(scanner.Next().has_value());  // reads the leading delta itself
  EXPECT_FALSE(scanner.Next().has_value());
  EXPECT_EQ(reader.Position(), 4);
}

TEST_F(ScannerTest, WhichEventsStartTheTimedPartAndGetRows) {
  struct Case {
    const char* bytes;  // one event after a leading delta, then the end of track
    bool starts;
    bool row_before;  // a row when the timed part has not begun
    bool row_after;   // a row when it has
  };
  for (const Case& c : {Case{"00 90 3C 64 00", true, true, true}, Case{"00 F0 01 F7 00", true, true, true},
                        Case{"00 B0 F4", true, false, false},  // cut short: the F4 is stray
                        Case{"00 FF 01 01 41 00", false, false, true}, Case{"00 FF 01 01 41 01", true, true, true},
                        Case{"00 FF 05 01 41 02", true, true, true}, Case{"00 FF 06 01 41 01", false, false, true},
                        Case{"00 FF 03 01 41 01", false, false, false}, Case{"00 FF 51 03 07 A1 20 00", false, false, true},
                        Case{"00 FF 58 04 04 02 18 08 00", false, false, true},
                        Case{"00 FF 59 02 00 00 00", false, false, false}, Case{"00 FF 00", false, false, false},
                        Case{"00 3C", false, false, false}}) {
    const auto events = ScanAll(Hex(c.bytes) + Hex("FF 2F 00"));
    ASSERT_GE(events.size(), 2u) << c.bytes;
    EXPECT_EQ(StartsTimedPart(events[0]), c.starts) << c.bytes;
    EXPECT_EQ(GetsRow(events[0], false), c.row_before) << c.bytes;
    EXPECT_EQ(GetsRow(events[0], true), c.row_after) << c.bytes;
    EXPECT_FALSE(GetsRow(events.back(), true)) << c.bytes;  // the end of track
  }
  // A running event starts nothing: its branch did. An unusable event gets no row.
  const auto running = ScanAll(Hex("00 B0 07 64 00 0A 40 00 C0 80") + Hex("FF 2F 00"));
  EXPECT_FALSE(StartsTimedPart(running[1]));
  EXPECT_TRUE(GetsRow(running[1], true));
  EXPECT_TRUE(StartsTimedPart(running[2]));
  EXPECT_FALSE(GetsRow(running[2], true));
}

}  // namespace
}  // namespace quavert
