#include <gtest/gtest.h>

#include "editing/row_rules.h"
#include "editing/total_time.h"

namespace quavert {
namespace {

// A small genmidi.ini with the names the rows below use.
constexpr std::string_view kGenmidi =
    "Test names\r\n0=Acoustic Grand Piano\r\n1=Bright Piano\r\nRHYTHM:\r\n"
    "High Q\r\nSlap\r\nScratch Push\r\nScratch Pull\r\nSticks\r\nSquare Click\r\nMetronome Click\r\n"
    "Metronome Bell\r\nAcoustic Bass Drum\r\nBass Drum 1\r\nSide Stick\r\nAcoustic Snare\r\n\r\n";

class RowRulesTest : public ::testing::Test {
 protected:
  RowRulesTest() : genmidi(ParseGenmidi(kGenmidi)) { FillNameTables(names); }

  // Builds the row of event `index` and keeps the record as classified.
  BuiltRow Build(EventRecord record, std::int64_t index = 0) {
    RowNaming naming{names, genmidi, drums};
    BuiltRow row = BuildRow(record, index, naming);
    classified = record;
    return row;
  }

  NameTables names;
  GenmidiNames genmidi;
  DrumNameCache drums;
  EventRecord classified;
};

struct RowCase {
  const char* what;
  EventRecord record;
  ListRow texts;        // as built: padded
  std::int32_t row_kind;
  std::int32_t note_state;
};

TEST_F(RowRulesTest, EveryKindOfRowGetsItsFiveTextsKindAndNoteState) {
  const RowCase cases[] = {
      {"note on", {144, 60, 100, 96}, {"C1", "C5  ", "100", "96    ", "On"}, -3, 1},
      {"note on, velocity 0", {144, 61, 0, 0}, {"C1", "C#5 ", "0  ", "0     ", "Off"}, -3, 0},
      {"note off", {128, 0, 64, 12}, {"C1", "C0  ", "64 ", "12    ", "Off"}, -3, 0},
      {"note off, channel 16", {143, 127, 0, 0}, {"C16", "G10 ", "0  ", "0     ", "Off"}, -3, 0},
      {"drum on", {153, 36, 90, 0}, {"C10", "36 ", "90 ", "0     ", "On  - Bass Drum 1"}, -2, 1},
      {"drum off", {137, 38, 0, 5}, {"C10", "38 ", "0  ", "5     ", "Off - Acoustic Snare"}, -2, 0},
      {"drum on, velocity 0", {153, 38, 0, 5}, {"C10", "38 ", "0  ", "5     ", "Off - Acoustic Snare"}, -2, 0},
      {"drum key below 27", {153, 26, 1, 0}, {"C10", "26 ", "1  ", "0     ", "On  - unknown"}, -2, 1},
      {"drum key on an empty line", {153, 39, 1, 0}, {"C10", "39 ", "1  ", "0     ", "On  - unknown"}, -2, 1},
      {"drum key past the file", {153, 88, 1, 0}, {"C10", "88 ", "1  ", "0     ", "On  - unknown"}, -2, 1},
      {"polyphonic pressure", {162, 60, 30, 7}, {"C3", "60 ", "30 ", "7     ", "Polyphonic Pressure"}, -1, -1},
      {"controller", {176, 7, 100, 0}, {"C1", "7  ", "100", "0     ", "Controller: volume"}, -5, -1},
      {"controller, running status", {-177, 7, 100, 0}, {"C2", "7  ", "100", "0     ", "Controller: volume"}, -5, -1},
      {"controller without a name", {176, 2, 0, 0}, {"C1", "2  ", "0  ", "0     ", "Controller: 2"}, -5, -1},
      {"program", {192, 1, -1, 0}, {"C1", "1  ", "", "0     ", "Instrument: Bright Piano"}, -4, -1},
      {"program without a name", {197, 90, -1, 0}, {"C6", "90 ", "", "0     ", "Instrument: unknown"}, -4, -1},
      {"drum program 32", {201, 32, -1, 0}, {"C10", "32 ", "", "0     ", "Drum Set: TR - 808"}, -4, -1},
      {"drum program 33", {201, 33, -1, 0}, {"C10", "33 ", "", "0     ", "Drum Set: Jazz"}, -4, -1},
      {"drum program 56", {201, 56, -1, 0}, {"C10", "56 ", "", "0     ", "Drum Set: unknown"}, -4, -1},
      {"channel pressure", {208, 40, -1, 3}, {"C1", "40 ", "", "3     ", "Channel Pressure"}, -1, -1},
      {"channel pressure, running status", {-223, 40, -1, 3}, {"C16", "40 ", "", "3     ", "Channel Pressure"}, -1, -1},
      {"pitch bend", {224, 0, 64, 0}, {"C1", "0  ", "64 ", "0     ", "Pitch Change"}, -1, -1},
      {"system exclusive", {240, -1, -1, 480}, {"", "", "", "480   ", "System Exclusive"}, -1, -1},
      {"system exclusive F7", {247, -1, -1, 0}, {"", "", "", "0     ", "System Exclusive"}, -1, -1},
      {"tempo", {81, 120, -1, 0}, {"", "120", "", "0     ", "Set Tempo"}, -1, -1},
      {"time signature", {88, 6, 8, 0}, {"", "6  ", "8  ", "0     ", "Time Signature"}, -1, -1},
      {"text", {-1, -1, -1, 24, -1, -2, -1}, {"", "", "", "24    ", "Text"}, -1, -1},
      {"empty row", {}, {"", "", "", "", ""}, -1, -1},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.what);
    const BuiltRow row = Build(c.record);
    EXPECT_EQ(row.Texts, c.texts);
    EXPECT_EQ(row.Melodic, c.row_kind == -3);
    EXPECT_EQ(classified.RowKind, c.row_kind);
    EXPECT_EQ(classified.NoteState, c.note_state);
    // Nothing but the two classifications changes.
    EXPECT_EQ(classified.Status, c.record.Status);
    EXPECT_EQ(classified.Data1, c.record.Data1);
    EXPECT_EQ(classified.Data2, c.record.Data2);
    EXPECT_EQ(classified.Delta, c.record.Delta);
    EXPECT_EQ(classified.MetaMark, c.record.MetaMark);
  }
}

TEST_F(RowRulesTest, RowsWithoutDataTwoKeepTheirNoteState) {
  Build({192, 0, -1, 0, -1, -1, 1});
  EXPECT_EQ(classified.NoteState, 1);
  Build({176, 7, 1, 0, -1, -1, 1});
  EXPECT_EQ(classified.NoteState, -1);
}

TEST_F(RowRulesTest, WideNumbersAreNeverCut) {
  const BuiltRow tempo = Build({81, 1000, -1, 1048576});
  EXPECT_EQ(tempo.Texts.Notes, "1000");
  EXPECT_EQ(tempo.Texts.Length, "1048576");
  const ListRow kept = KeptRow(tempo);
  EXPECT_EQ(kept.Notes, "1000");
  EXPECT_EQ(kept.Length, "1048576");
  const ListItem item = ItemOf(kept);
  EXPECT_EQ(item.Sub[0], "1000");
  EXPECT_EQ(item.Sub[2], "1048576");
  EXPECT_EQ(ReportLine(tempo), std::string(12, ' ') + "1000     1048576 Set Tempo");
  EXPECT_EQ(Build({144, 60, 100, 2097279}).Texts.Length, "2097279");
}

TEST_F(RowRulesTest, KeptRowsAndListItems) {
  const ListRow kept = KeptRow(Build({144, 60, 100, 96}));
  EXPECT_EQ(kept, (ListRow{"C1", "C5", "100", "96", "On"}));
  EXPECT_EQ(ItemOf(kept), (ListItem{"C1 ", {"C5", "100", "96", "On"}}));
  EXPECT_EQ(ItemOf(KeptRow(Build({-1, -1, -1, 0, -1, -2, -1}))), (ListItem{"   ", {"", "", "0", "Text"}}));
  EXPECT_EQ(ItemOf(KeptRow(Build({153, 36, 1, 0}))).Main, "C10");

  // A Description is kept to 40 characters, without the blanks the cut leaves at its end.
  genmidi = ParseGenmidi("h\r\n0=" + std::string(27, 'x') + " " + std::string(20, 'y') + "\r\n");
  const BuiltRow long_name = Build({192, 0, -1, 0});
  EXPECT_EQ(long_name.Texts.Description.size(), 12u + 48u);
  EXPECT_EQ(KeptRow(long_name).Description, "Instrument: " + std::string(27, 'x'));
  // The report has it whole.
  EXPECT_EQ(ReportLine(long_name).substr(ReportLine(long_name).size() - 20), std::string(20, 'y'));
}

TEST_F(RowRulesTest, ReportLinesByteForByte) {
  EXPECT_EQ(ReportLine(Build({144, 60, 100, 96})), "        C1 C5    100 96     On");
  EXPECT_EQ(ReportLine(Build({145, 70, 5, 0})), "        C2 A#5   5   0      On");
  EXPECT_EQ(ReportLine(Build({153, 36, 90, 0})), "        C10 36   90  0      On  - Bass Drum 1");
  EXPECT_EQ(ReportLine(Build({176, 7, 100, 1234})), "        C1  7    100 1234   Controller: volume");
  EXPECT_EQ(ReportLine(Build({192, 0, -1, 0})), "        C1  0        0      Instrument: Acoustic Grand Piano");
  EXPECT_EQ(ReportLine(Build({240, -1, -1, 480})), std::string(21, ' ') + "480    System Exclusive");
  EXPECT_EQ(ReportLine(Build({-1, -1, -1, 24, -1, -2, -1})), std::string(21, ' ') + "24     Text");
  EXPECT_EQ(ReportLine(Build({88, 6, 8, 0})), std::string(12, ' ') + "6    8   0      Time Signature");
  EXPECT_EQ(ReportLine(Build({224, 127, 127, 999999})), "        C1  127  127 999999 Pitch Change");
}

TEST_F(RowRulesTest, DrumNameIsRememberedForTheSameKeyOnTheNextRow) {
  Build({153, 36, 90, 0}, 10);
  EXPECT_EQ(drums.Key, 36);
  EXPECT_EQ(drums.Index, 10);
  EXPECT_EQ(drums.Name, "Bass Drum 1");
  // Served from the remembered name: a changed genmidi.ini does not show on the next row...
  genmidi = ParseGenmidi("h\r\nRHYTHM:\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nKick\r\n");
  EXPECT_EQ(Build({137, 36, 0, 0}, 11).Texts.Description, "Off - Bass Drum 1");
  // ...but two rows on, or for another key, the name is looked up.
  EXPECT_EQ(Build({153, 36, 90, 0}, 13).Texts.Description, "On  - Kick");
  EXPECT_EQ(Build({153, 35, 90, 0}, 14).Texts.Description, "On  - unknown");
  EXPECT_EQ(drums.Name, "unknown");
}

// Over a run of drum rows the remembered names are exactly what looking each one up gives.
TEST_F(RowRulesTest, RememberedDrumNamesEqualFreshLookups) {
  const std::int32_t keys[] = {36, 36, 38, 38, 38, 26, 26, 27, 39, 39, 88, 36, 36, 100, 100};
  std::int64_t index = 0;
  for (std::int32_t key : keys) {
    std::string fresh = LookupDrum(genmidi, key);
    if (fresh.empty()) fresh = "unknown";
    EXPECT_EQ(Build({153, key, 64, 0}, index).Texts.Description, "On  - " + fresh) << key;
    index += key % 2 + 1;  // some rows follow each other, some leave a gap
  }
}

TEST(TotalTime, UnknownTimingShowsAQuestionMark) {
  EXPECT_EQ(TotalTime(1000, -1), (TotalTimeLines{"       Total time        : ?", "        Total Time: ?"}));
}

TEST(TotalTime, SecondsRoundUpAndMinutesTakeTwoDigitsOrMore) {
  EXPECT_EQ(TotalTime(0, 0), (TotalTimeLines{"       Total Time        : 00.01", "        Total Time: 00.01"}));
  EXPECT_EQ(TotalTime(5000, 0).Report, "        Total Time: 00.01");
  // 3 minutes 30.4 seconds in sixtieths of a second.
  EXPECT_EQ(TotalTime(12624, 1.0).Text2, "       Total Time        : 03.31");
  // Two seconds at 120 beats per minute and 96 ticks per quarter.
  EXPECT_EQ(TotalTime(384, 60.0 / ((1000000.0 / 500000) * 96)).Report, "        Total Time: 00.03");
  // Sixtieths are rounded before the seconds are taken: 59.5 makes a whole second, 58.5 does not.
  EXPECT_EQ(TotalTime(119, 0.5).Report, "        Total Time: 00.02");
  EXPECT_EQ(TotalTime(117, 0.5).Report, "        Total Time: 00.01");
}

TEST(TotalTime, HundredMinutesAndMoreShowEveryDigit) {
  EXPECT_EQ(TotalTime(5999 * 60, 1.0).Report, "        Total Time: 100.00");
  EXPECT_EQ(TotalTime(5999 * 60 - 1, 1.0).Report, "        Total Time: 99.59");
  EXPECT_EQ(TotalTime(std::int64_t{100000} * 2097279, 1.0).Text2, "       Total Time        : 58257750.01");
}

}  // namespace
}  // namespace quavert
