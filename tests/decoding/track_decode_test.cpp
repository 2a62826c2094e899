#include <gtest/gtest.h>

#include <tuple>

#include "track_decode_fixture.h"

namespace quavert {
namespace {

using namespace testing;

TEST(TrackDecodeTest, RunningStatusKeepsNotesAndProgramsPositiveAndNegatesTheRest) {
  const Decoded d = DecodeTrackData(Hex("00 90 3C 64 10 3C 00 00 C0 05 00 06 00 B0 07 64 10 0A 40 00 A1 3C 10 00 3D 11 00 "
                                    "D2 20 00 21 00 E3 00 40 00 7F 7F 05") + kEnd);
  EXPECT_EQ(d.Rows, (RowList{Row(144, 60, 100, 16), Row(144, 60, 0, 0), Row(192, 5, -1, 0), Row(192, 6, -1, 0),
                             Row(176, 7, 100, 16), Row(-176, 10, 64, 0), Row(161, 60, 16, 0), Row(-161, 61, 17, 0),
                             Row(210, 32, -1, 0), Row(-210, 33, -1, 0), Row(227, 0, 64, 0), Row(-227, 127, 127, 5)}));
  EXPECT_EQ(std::tuple(d.End, d.Log.back()), std::tuple(TrackDecodeEnd::kComplete, "finished 12"));
}

TEST(TrackDecodeTest, OddBytesInsideATrack) {
  // A controller value of 200 is stored as 127; a controller whose value is a status byte makes
  // no row but starts the timed part; stray bytes after a meta event are skipped.
  const Decoded d = DecodeTrackData(Hex("00 B0 90 3C 64 00 B0 07 C8 00 0A FF 00 FF 03 01 41 00 3C 00 F4 80 3C 00 00") + kEnd);
  EXPECT_EQ(d.Rows, (RowList{Row(144, 60, 100, 0), Row(176, 7, 127, 0), Row(-176, 10, 127, 0), Row(128, 60, 0, 0)}));
  EXPECT_EQ(std::tuple(d.Facts.FirstEventPos, d.Said()), std::tuple(14 + 8 + 2, Texts{}));
}

TEST(TrackDecodeTest, EachEventReadsWhatItsTypeSays) {
  const Decoded d = DecodeTrackData(Hex("00 FF 00 02 01")                     // sequence number: no more; stray bytes
                                    + Hex("FF 21 05 03 07")                   // port: one data byte, whatever the length
                                    + Hex("FF 54 05 60 00 03 00 00 01")       // SMPTE offset: a length and five
                                    + Hex("FF 7F 81 00") + Bytes(128, 'A') + Hex("3C")  // a variable length
                                    + Hex("FF 58 04 04 0E 18 08 00")          // a denominator of 2^14 still fits
                                    + Hex("90 C8 64 00")                      // a status-sized note number as read
                                    + Hex("F0 03 01 02 F7 05 F7 00 00 3C") + kEnd);  // an escape without data; a stray byte
  std::string specific;
  for (int i = 0; i < 128; ++i) specific += " 65";
  EXPECT_EQ(d.Lines(), "     7 MIDI Port         : 3\r\n"
                       "     1 SMPTE Offset      : 96 0 3 0 0\r\n"
                       "   128 Sequencer Specific:" + specific + "\r\n"
                       "     0 Time Signature    : 4/16384\r\n");
  EXPECT_EQ(d.Rows, (RowList{Row(144, 200, 100, 0), Row(240, -1, -1, 5), Row(247, -1, -1, 0)}));
  EXPECT_EQ(std::tuple(d.Said(), d.Facts.SigClocks, d.Facts.Sig32nds), std::tuple(Texts{}, 24, 8));
}

TEST(TrackDecodeTest, DeltasOfAnySizeReadBackExactly) {
  // At most four bytes are read, the fourth whole: FF FF FF FF is 268435583 and the 3C after it
  // is data.
  Decoded d = DecodeTrackData(Hex("00 90 3C 64 81 80 00 3C 00 FF FF FF FF 3C 00 FF FF 7F 3C 00 BD 84 40 3C 00 81 80 80 00 "
                              "3C 00 FF FF FF 7F 3C 00 00") + kEnd);
  EXPECT_EQ(d.Rows, (RowList{Row(144, 60, 100, 16384), Row(144, 60, 0, 268435583), Row(144, 60, 0, 2097151),
                             Row(144, 60, 0, 1000000), Row(144, 60, 0, 2097152), Row(144, 60, 0, 0x0FFFFFFF),
                             Row(144, 60, 0, 0)}));
  EXPECT_EQ(d.Said(), Texts{});
  // A fifth byte is not read as part of the delta: it is the next event's.
  d = DecodeTrackData(Hex("00 C0 05 81 80 80 80 00") + kEnd);
  EXPECT_EQ(d.Said(), Texts{"tell ERROR: Unexpected end of track"});
}

TEST(TrackDecodeTest, SystemExclusivePositionsForAnyNumberAnywhereInTheFile) {
  // 40000 bytes of system exclusive first, so that the later ones lie past byte 32767; then
  // 300 more and an escape, beyond any fixed table.
  const std::int64_t data = 14 + 8 + 1;  // position of the track's first data byte
  Bytes track = Hex("00 F0 82 B8 40") + Bytes(40000, '\x01') + Hex("10");
  for (int i = 0; i < 300; ++i) track += Hex("F0 02 7E F7 00");
  const Decoded d = DecodeTrackData(track + Hex("F7 00 05") + kEnd);
  const TrackDecodeFacts& f = d.Facts;
  ASSERT_EQ(std::tuple(f.SysexStart.size(), f.SysexEnd.size(), f.SysexIndex), std::tuple(302u, 302u, 301));
  // The escape has no data: its end is its length byte.
  EXPECT_EQ((std::vector{f.SysexStart[0], f.SysexEnd[0], f.SysexStart[300], f.SysexEnd[300], f.SysexEnd[301] - f.SysexStart[301]}),
            (std::vector<std::int64_t>{data + 1, data + 4 + 40000, data + 40006 + 299 * 5, data + 40006 + 299 * 5 + 3, 1}));
  EXPECT_EQ((RowList{d.Rows.front(), d.Rows.back()}), (RowList{Row(240, -1, -1, 16), Row(247, -1, -1, 5)}));
}

TEST(TrackDecodeTest, TheChosenTrackItsHeadingAndWhatAnotherTracksDecodeLeft) {
  const Bytes file = Smf(1, 96, {Hex("00 FF 51 03 07 A1 20 00 F0 01 F7 00 90 3C 64 00") + kEnd,
                                 Hex("00 FF 03 02 42 32 00 C1 07 00") + kEnd});
  const Decoded first = DecodeFile(file);
  ASSERT_EQ(std::tuple(first.Facts.TempoPos, first.Facts.SysexIndex), std::tuple(14 + 8 + 5, 0));
  // Track 2's decode forgets what track 1's found, all but the timing factor and the time
  // signature, which count since the load.
  TrackDecodeFacts before = first.Facts;
  before.SigClocks = 7;
  Decoded d = DecodeFile(file, {.Track = 2, .Before = before});
  const TrackDecodeFacts& f = d.Facts;
  EXPECT_EQ(std::tuple(f.FirstEventPos, f.TempoPos, f.TempoBpm, f.LastTempoPos, f.SysexStart.size(), f.SysexIndex,
                       f.TempoText, f.SigClocks, f.TickMinutes),
            std::tuple(14 + 8 + 19 + 8 + 8, -1, -1, 0, 0u, -1, "", 7, first.Facts.TickMinutes));
  EXPECT_EQ(d.Facts.TrackText, "       Track             : 2\r\n       Length            : 13\r\n"
                               "     0 Name              : B2\r\n");
  EXPECT_EQ(d.Heading->Size, (std::array<std::uint8_t, 4>{0, 0, 0, 13}));
  EXPECT_EQ(std::tuple(d.Rows, d.Report), std::tuple(RowList{Row(193, 7, -1, 0)}, Texts{"      0 Name: B2"}));
  // A track past the table's end: run-time error 9 before anything is read.
  d = DecodeFile(file, {.Track = 3});
  EXPECT_EQ(std::tuple(d.End, d.Log), std::tuple(TrackDecodeEnd::kStopped, Texts{"tell Error: 9"}));
}

// Each stop tells one message; the report lines found before it are given, and no byte past the
// track's chunk is read (a following track's end would otherwise end the decode well).
TEST(TrackDecodeTest, EveryUnusableEventStopsWithItsMessage) {
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
    const Decoded d = DecodeFile(Smf(1, 96, {Hex("00 FF 03 01 41") + bytes, Hex("00 FF 01 01 41 00") + kEnd}));
    EXPECT_EQ(std::tuple(d.End, d.Said(), d.Report),
              std::tuple(TrackDecodeEnd::kStopped, Texts{std::string("tell ") + message}, Texts{"      0 Name: A"}));
    EXPECT_EQ(d.Log.back().substr(0, 4), "tell") << "nothing finished";
  }
}

TEST(TrackDecodeTest, SinkFailuresStopWithTheirErrorNumber) {
  const Bytes track = Hex("00 FF 03 01 41 00 FF 01 01 42 00 90 3C 64 00") + kEnd;
  // The second report line cannot be written: the first was, the rest are not tried again.
  const Decoded d = DecodeTrackData(track, {.FailingReportLine = 2});
  EXPECT_EQ(std::tuple(d.End, d.Report, d.Said()),
            std::tuple(TrackDecodeEnd::kStopped, Texts{"      0 Name: A"}, Texts{"tell Error: 52"}));
}

// A tempo whose next event lost its status byte: 3C 64 stand where 90 3C 64 belongs.
const Bytes kMissingByte = Hex("00 FF 51 03 07 A1 20 00 3C 64 10 80 3C 00 00") + kEnd;
const Bytes kRepaired = Hex("00 FF 51 03 07 A1 20 00 90 3C 64 10 80 3C 00 00") + kEnd;
const std::string kAskMissing = "ask ERROR: Probably missing byte.  Repair? ";

// Yes inserts the status byte and ends the decode for another. The size field grows in all four
// bytes: 65535 data bytes become 65536. A track cut short by the end of the file grows by the
// inserted byte and walks after the repair as before; FF FF FF cannot grow and stays.
TEST(TrackDecodeTest, MissingStatusByteInsertedOnYes) {
  const Bytes sysex = Hex("F0 83 FF 6C") + Bytes(65516, '\x01') + Hex("00");
  const struct { Bytes before, after; } cases[] = {
      {Smf(0, 96, {kMissingByte.substr(0, 11) + sysex + kEnd}), Smf(0, 96, {kRepaired.substr(0, 12) + sysex + kEnd})},
      {Smf(0, 96, {kMissingByte}).replace(19, 3, Hex("00 00 44")), Smf(0, 96, {kRepaired}).replace(19, 3, Hex("00 00 45"))},
      {Smf(0, 96, {kMissingByte}).replace(19, 3, Hex("FF FF FF")), Smf(0, 96, {kRepaired}).replace(19, 3, Hex("FF FF FF"))},
      {Smf(0, 96, {kMissingByte}), Smf(0, 96, {kRepaired})}};
  for (const auto& c : cases) {
    const Decoded d = DecodeFile(c.before, {.Answers = {true}});
    EXPECT_EQ(ToHex(d.WorkCopy), ToHex(c.after));
    EXPECT_EQ(std::tuple(d.End, d.Repairs.size(), d.Report), std::tuple(TrackDecodeEnd::kRepaired, 1u, Texts{}));
    EXPECT_EQ(std::tuple(d.Repairs[0].Kind, d.Repairs[0].FileSize, d.Repairs[0].InsertedAt),
              std::tuple(TrackRepair::kMissingStatus, static_cast<std::int64_t>(c.after.size()), 14 + 8 + 9));
  }
  // The rows end before the question, the file changes between the two calls around the repair.
  const Decoded d = DecodeFile(Smf(0, 96, {kMissingByte}), {.Answers = {true}});
  EXPECT_EQ(d.Log, (Texts{"heading 18", "tempo 120", "rows closed", kAskMissing, "before repair", "after repair"}));
}

// No leaves the file and stops the decode with the lines found so far; with the one repair of
// the load made, the byte is skipped as a stray one; so is any other byte that does not stand 4
// after this track's tempo.
TEST(TrackDecodeTest, MissingStatusByteAskedOnlyWhereTheStatusBelongs) {
  const Bytes file = Smf(0, 96, {kMissingByte});
  Decoded d = DecodeFile(file, {.Answers = {false}});
  EXPECT_EQ(std::tuple(d.End, d.Said(), d.Report, d.WorkCopy == file),
            std::tuple(TrackDecodeEnd::kStopped, Texts{kAskMissing}, Texts{"      0 Set tempo: 120"}, true));
  d = DecodeFile(file, {.RepairOffered = true});
  EXPECT_EQ(std::tuple(d.End, d.Said(), d.Rows), std::tuple(TrackDecodeEnd::kComplete, Texts{}, RowList{Row(128, 60, 0, 0)}));
  // A zero there is skipped silently; so is a byte after a tempo with a two-byte delta; and a
  // stray 45 at position 31 where a tempo of another track would put it.
  for (const char* bytes : {"00 FF 01 03 41 42 43 00 45 90 3C 64 00", "00 FF 51 03 07 A1 20 00 00 90 3C 64 00",
                            "00 FF 51 03 07 A1 20 81 00 3C 90 3C 64 00", "00 FF 51 03 07 A1 20 00 FF 03 01 41 00 3C 90 3C 64 00"}) {
    d = DecodeTrackData(Hex(bytes) + kEnd);
    EXPECT_EQ(std::tuple(d.End, d.Said(), d.Rows.size(), d.WorkCopy == Smf(0, 96, {Hex(bytes) + kEnd})),
              std::tuple(TrackDecodeEnd::kComplete, Texts{}, 1u, true)) << bytes;
  }
}

TEST(TrackDecodeTest, FailedMissingStatusRepairLeavesTheFile) {
  const Bytes file = Smf(0, 96, {kMissingByte});
  const Decoded d = DecodeFile(file, {.Answers = {true}, .RepairPathBlocked = true});
  EXPECT_EQ(std::tuple(d.End, d.Said(), d.Repairs.size(), d.WorkCopy == file),
            std::tuple(TrackDecodeEnd::kStopped, Texts{kAskMissing, "tell Error: 75"}, 0u, true));
}

// A clocks byte of 0 asks, whatever the event's length and also in the timed part: Yes writes 2
// there between the two calls around the repair, No goes on unchanged.
TEST(TrackDecodeTest, TimeSignatureClocksRepair) {
  const std::string line = "     0 Time Signature    : 4/4\r\n";
  const struct { const char* bytes; bool yes; std::size_t clocks; std::string lines; } cases[] = {
      {"00 FF 58 04 04 02 00 08 00 90 3C 64 00", false, 6, line},
      {"00 FF 58 04 04 02 00 08 00 90 3C 64 00", true, 6, line},
      {"00 FF 58 05 04 02 00 08 00 00 90 3C 64 00", true, 6, line},
      {"00 90 3C 64 00 FF 58 04 03 03 00 08 10", true, 10, ""}};  // a row, no line
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const Bytes track = Hex(c.bytes) + kEnd;
    Bytes patched = track;
    patched[c.clocks] = c.yes ? 2 : 0;  // the clocks byte's offset in the track's data
    const Decoded d = DecodeTrackData(track, {.Answers = {c.yes}});
    const Texts repair = c.yes ? Texts{"before repair", "after repair"} : Texts{};
    Texts log{d.Log.begin() + 2, d.Log.end() - 1};
    EXPECT_EQ(std::tuple(d.Said(), log), std::tuple(Texts{"ask ERROR: Invalid Time Signature.  Repair? "}, repair));
    EXPECT_EQ(ToHex(d.WorkCopy), ToHex(Smf(0, 96, {patched})));
    EXPECT_EQ(std::tuple(d.End, d.Lines(), d.Facts.SigClocks), std::tuple(TrackDecodeEnd::kComplete, c.lines, c.yes ? 2 : 0));
  }
  EXPECT_EQ(DecodeTrackData(Hex("00 90 3C 64 00 FF 58 04 03 03 00 08 10") + kEnd, {.Answers = {true}}).Rows.at(1),
            Row(88, 3, 8, 16));
}

}  // namespace
}  // namespace quavert
