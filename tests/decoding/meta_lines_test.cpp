#include <gtest/gtest.h>

#include <tuple>

#include "track_decode_fixture.h"

namespace quavert {
namespace {

using namespace testing;

// The report's lines as they stand in the file.
std::string ReportText(const Decoded& d) {
  std::string text;
  for (const std::string& line : d.Report) text += line + "\r\n";
  return text;
}

// One event of every type that shows a line, all before the first note. The name's delta of
// 1000000 ticks overflows Text2's six places and the report's seven: nothing is cut.
const Bytes kHeadOfTrack = Hex("00")
                           + Hex("FF 03 0A") + "  Pi\x7Cno\x01  " + Hex("BD 84 40")  // name: trimmed, 124 and 1 blanked
                           + Hex("FF 02 05") + "(c)\xA9\x1F" + Hex("00")          // copyright: above 127 blanked
                           + Hex("FF 01 04") + "Te\x80t" + Hex("00")              // text
                           + Hex("FF 04 05") + "Gr\xE4nd" + Hex("00")             // instrument: as it is
                           + Hex("FF 06 04") + "Mk\x7F\x01" + Hex("00")           // marker: as it is
                           + Hex("FF 20 01 09 00")                                // channel prefix 9
                           + Hex("FF 21 01 02 00")                                // port 2
                           + Hex("FF 51 03 07 A1 20 00")                          // 500000: 120 per minute
                           + Hex("FF 54 05 60 00 03 00 00 00")                    // SMPTE offset
                           + Hex("FF 58 04 06 03 18 08 00")                       // 6/8
                           + Hex("FF 59 02 FD 00 00")                             // three flats, major
                           + Hex("FF 05 02") + "la" + Hex("00")                   // first lyric
                           + Hex("FF 05 02") + "li" + Hex("00")                   // second lyric
                           + Hex("FF 7F 03 00 00 41 3C");                         // sequencer-specific, delta 60

TEST(MetaLinesTest, Text2AndTheReportHaveOneExactLineForEveryType) {
  const Decoded d = DecodeTrackData(kHeadOfTrack + Hex("90 3C 64 00") + kEnd);
  EXPECT_EQ(d.Facts.TrackText, "       Track             : 1\r\n"
                     "       Length            : " + std::to_string(kHeadOfTrack.size() + 4 + 3) + "\r\n"
                     "1000000 Name              : Pi no \r\n"
                     "     0 Copyright         : (c)  \r\n"
                     "     0 Text              : Te t\r\n"
                     "     0 Instrument        : Gr\xE4nd\r\n"
                     "     0 Mark              : Mk\x7F\x01\r\n"
                     "     0 Channel Prefix    : 10\r\n"
                     "     0 MIDI Port         : 2\r\n"
                     "     0 Set tempo         : 120\r\n"
                     "     0 SMPTE Offset      : 96 0 3 0 0\r\n"
                     "     0 Time Signature    : 6/8\r\n"
                     "     0 Key Signature     : Eb Major\r\n"
                     "     0 Lyric             : la\r\n"
                     "     0                     li\r\n"
                     "     3 Sequencer Specific: 0 0 65\r\n");
  EXPECT_EQ(ReportText(d), " 1000000 Name: Pi no \r\n"
                                   "      0Copyright: (c)  \r\n"
                                   "      0Text: Te t\r\n"
                                   "      0Instrument: Gr\xE4nd\r\n"
                                   "      0Mark: Mk\x7F\x01\r\n"
                                   "      0Channel Prefix: 10\r\n"
                                   "      0 MIDI Port: 2\r\n"
                                   "      0 Set tempo: 120\r\n"
                                   "      0 SMPTE Offset: 96 0 3 0 0\r\n"
                                   "      0 Time Signature: 6/8\r\n"
                                   "      0 Key Signature: Eb Major\r\n"
                                   "      0Lyric             : la\r\n"
                                   "      0                    li\r\n"
                                   "     60 Sequencer Specific: 0 0 65\r\n");
  // A track decoded before in this load gives no report lines.
  EXPECT_EQ(DecodeTrackData(kHeadOfTrack + Hex("90 3C 64 00") + kEnd, {.ReportMetaLines = false}).Report, Texts{});
}

TEST(MetaLinesTest, CuePointProgramAndDeviceNamesAndLongTextsAreShownWhole) {
  const std::string long_text = std::string(200, 'x') + "!";  // a two-byte length: 81 49
  Decoded d = DecodeTrackData(Hex("00")
              + Hex("FF 07 03") + "cue" + Hex("00")
              + Hex("FF 08 04") + "Pad\x01" + Hex("00")             // program name: as it is
              + Hex("FF 09 05") + "Synth" + Hex("00")
              + Hex("FF 01 81 49") + long_text + Hex("00")
              + Hex("FF 00 02 00 07 83 60")                         // sequence number, delta 480: nothing shown
              + Hex("FF 03 80 02") + "nm" + Hex("00")               // a length of two bytes for 2
              + Hex("90 3C 64 00") + kEnd);
  EXPECT_EQ(d.Said(), Texts{});
  EXPECT_EQ(d.Lines(), "     0 Cue Point         : cue\r\n"
                          "     0 Program Name      : Pad\x01\r\n"
                          "     0 Device Name       : Synth\r\n"
                          "     0 Text              : " + long_text + "\r\n"
                          "     0 Name              : nm\r\n");
  EXPECT_EQ(ReportText(d), "      0Cue Point: cue\r\n"
                                   "      0Program Name: Pad\x01\r\n"
                                   "      0Device Name: Synth\r\n"
                                   "      0Text: " + long_text + "\r\n"
                                   "      0 Name: nm\r\n");
  EXPECT_EQ(d.Rows, (RowList{Row(144, 60, 100, 0)}));

  // In the timed part a long text keeps its row; the other three stay lines only.
  d = DecodeTrackData(Hex("00 90 3C 64 10") + Hex("FF 05 82 00") + std::string(256, 'l') + Hex("20")
                      + Hex("FF 07 01 63 30 80 3C 00 00") + kEnd);
  EXPECT_EQ(d.Said(), Texts{});
  EXPECT_EQ(d.Rows, (RowList{Row(144, 60, 100, 16), Row(-1, -1, -1, 32, -2), Row(128, 60, 0, 0)}));
  EXPECT_EQ(d.Lines(), "    32 Lyric             : " + std::string(256, 'l') + "\r\n"
                          "    48 Cue Point         : c\r\n");
}

TEST(MetaLinesTest, MetaLengthsAreVariableLengthNumbersChecksAndOverrunsKeepTheirMessages) {
  for (const auto& [event, message] : std::vector<std::pair<Bytes, std::string>>{
           {Hex("FF 51 80 00"), "ERROR: Invalid Tempo"},                // a length of two bytes for 0
           {Hex("FF 58 80 03 04 02 18"), "ERROR: Invalid Time Signature"},
           {Hex("FF 59 80 01 00"), "ERROR: Invalid Key Signature"},
           {Hex("FF 20 80 00"), "ERROR: Invalid Channel Prefix"},
           {Hex("FF 01 FF FF FF 7F 41"), "ERROR: Unexpected end of track"},  // runs past the chunk
           {Hex("FF 0A 01 41"), "Invalid byte: 10"},                    // other types stay refused
       }) {
    const Decoded d = DecodeTrackData(Hex("00") + event + Hex("00") + kEnd);
    EXPECT_EQ(std::tuple(d.Said(), d.End), std::tuple(Texts{"tell " + message}, TrackDecodeEnd::kStopped)) << ToHex(event);
  }
  // A tempo of three bytes with its length written in two still gives the Edit frame its value.
  const Decoded d = DecodeTrackData(Hex("00 FF 51 80 03 07 A1 20 00 90 3C 64 00") + kEnd);
  EXPECT_EQ(std::tuple(d.Facts.TempoText, d.Facts.TempoPos), std::tuple("120", 14 + 8 + 6));
}

TEST(MetaLinesTest, FirstTempoFillsTheEditFrameAndGivesTheTimingFactor) {
  Decoded d = DecodeTrackData(Hex("00 90 3C 64 00") + kEnd);
  EXPECT_EQ(std::tuple(d.Facts.TempoPos, d.Facts.TempoText, d.Facts.TickMinutes), std::tuple(-1, "", 0.0));
  d = DecodeTrackData(Hex("00 FF 51 03 07 A1 20 00 90 3C 64 00") + kEnd);
  EXPECT_DOUBLE_EQ(d.Facts.TickMinutes, 60 / (1000000.0 / 500000 * 96));
  // A second tempo since the load: no single timing factor.
  d = DecodeTrackData(Hex("00 FF 51 03 07 A1 20 00 90 3C 64 00") + kEnd, {.Before = d.Facts});
  EXPECT_EQ(d.Facts.TickMinutes, -1);

  // A later tempo before the timed part shows its value but does not move the first, whose 07
  // stands at 27.
  d = DecodeTrackData(Hex("00 FF 51 03 07 A1 20 00 FF 51 03 09 27 C0 00 90 3C 64 00") + kEnd);
  const TrackDecodeFacts& f = d.Facts;
  EXPECT_EQ(std::tuple(f.TempoPos, f.TempoBpm, f.LastTempoPos, f.TempoText), std::tuple(27, 120, 34, "100"));
  EXPECT_EQ(d.Log, (Texts{"heading 22", "tempo 120", "tempo 100", "finished 1"}));
}

TEST(MetaLinesTest, TimedPartTurnsTempoTimeSignatureTextLyricAndMarkerIntoRowsAndADelayedTextStartsIt) {
  Decoded d = DecodeTrackData(Hex("00 90 3C 64 00")
              + Hex("FF 51 03 09 27 C0 10")         // tempo 100: a row, no line
              + Hex("FF 58 04 03 02 18 08 20")      // 3/4: a row, no line
              + Hex("FF 01 02") + "ab" + Hex("05")  // text, marker, lyric: a row and a line
              + Hex("FF 06 02") + "mk" + Hex("06")
              + Hex("FF 05 02") + "la" + Hex("07")
              + Hex("FF 03 02") + "nm" + Hex("08")  // name: a line only
              + Hex("80 3C 00 00") + kEnd);
  EXPECT_EQ(d.Rows, (RowList{Row(144, 60, 100, 0), Row(81, 100, -1, 16), Row(88, 3, 4, 32), Row(-1, -1, -1, 5, -2),
                             Row(-1, -1, -1, 6, -2), Row(-1, -1, -1, 7, -2), Row(128, 60, 0, 0)}));
  EXPECT_EQ(d.Lines(), "     5 Text              : ab\r\n"
                          "     6 Mark              : mk\r\n"
                          "     7 Lyric             : la\r\n"
                          "     8 Name              : nm\r\n");
  // A tempo in the timed part is not the one the Edit frame patches.
  EXPECT_EQ(std::tuple(d.Facts.TempoPos, d.Facts.TempoText), std::tuple(-1, ""));

  // A text followed by a delta of 1 or more keeps its place in time: a row, and the timed part
  // begins at its FF. A marker before the timed part gets no row.
  d = DecodeTrackData(Hex("00 FF 06 01 4D 04 FF 01 01 54 03 FF 51 03 07 A1 20 00") + kEnd);
  EXPECT_EQ(d.Facts.FirstEventPos, 14 + 8 + 7);
  EXPECT_EQ(d.Rows, (RowList{Row(-1, -1, -1, 3, -2), Row(81, 120, -1, 0)}));
}

TEST(MetaLinesTest, KeySignaturesFromSevenFlatsToSevenSharps) {
  // By fifths: the major key of sf flats or sharps is kFifths[sf + 7], its minor three further on.
  const char* kFifths[] = {"Cb", "Gb", "Db", "Ab", "Eb", "Bb", "F", "C", "G", "D", "A", "E", "B", "F#", "C#", "G#", "D#", "A#"};
  const auto key = [](int sf, int mode) {
    return Hex("FF 59 02") + Bytes{static_cast<char>(sf), static_cast<char>(mode)} + Hex("00");
  };
  Bytes data = Hex("00");
  std::string expected;
  for (int sf = -7; sf <= 7; ++sf) {
    data += key(sf, 0) + key(sf, 1);
    expected += "     0 Key Signature     : " + std::string(kFifths[sf + 7]) + " Major\r\n"
                "     0 Key Signature     : " + std::string(kFifths[sf + 10]) + " Minor\r\n";
  }
  EXPECT_EQ(DecodeTrackData(data + key(8, 0) + key(-8, 1) + key(0, 5) + kEnd).Lines(), expected + "     0 Key Signature     : Unknown Key\r\n"
                                     "     0 Key Signature     : Unknown Key\r\n"
                                     "     0 Key Signature     : A Minor\r\n");
}

}  // namespace
}  // namespace quavert
