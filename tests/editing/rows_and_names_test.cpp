#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "commands/current_genmidi.h"
#include "editing/genmidi.h"
#include "editing/name_lookups.h"
#include "editing/row_rules.h"
#include "editing/total_time.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

// Names for programs 0 and 1 and drum keys 27..38; key 39 has an empty line, the file ends at 40.
constexpr std::string_view kGenmidi =
    "Test names\r\n0=Acoustic Grand Piano\r\n1=Bright Piano\r\nRHYTHM:\r\nHigh Q\r\nSlap\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n"
    "Acoustic Bass Drum\r\nBass Drum 1\r\nSide Stick\r\nAcoustic Snare\r\n\r\n";

class RowRulesTest : public ::testing::Test {
 protected:
  RowRulesTest() : genmidi(ParseGenmidi(kGenmidi)) { FillNameTables(names); }
  // The row of event `index`; `classified` keeps the record as the rules left it.
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

TEST_F(RowRulesTest, EveryKindOfRowGetsItsTextsRowKindAndNoteState) {
  // The texts as built: numbers and note names unpadded.
  const struct { EventRecord record; ListRow texts; std::int32_t row_kind, note_state; } cases[] = {
      {{144, 60, 100, 96}, {"C1", "C5", "100", "96", "On"}, -3, 1},
      {{144, 61, 0, 0}, {"C1", "C#5", "0", "0", "Off"}, -3, 0},
      {{143, 127, 64, 12}, {"C16", "G10", "64", "12", "Off"}, -3, 0},
      {{153, 36, 90, 0}, {"C10", "36", "90", "0", "On  - Bass Drum 1"}, -2, 1},
      {{137, 38, 0, 5}, {"C10", "38", "0", "5", "Off - Acoustic Snare"}, -2, 0},
      {{153, 26, 1, 0}, {"C10", "26", "1", "0", "On  - unknown"}, -2, 1},  // below 27
      {{153, 39, 1, 0}, {"C10", "39", "1", "0", "On  - unknown"}, -2, 1},  // empty line
      {{153, 88, 1, 0}, {"C10", "88", "1", "0", "On  - unknown"}, -2, 1},  // past the end
      {{162, 60, 30, 7}, {"C3", "60", "30", "7", "Polyphonic Pressure"}, -1, -1},
      {{176, 7, 100, 0}, {"C1", "7", "100", "0", "Controller: volume"}, -5, -1},
      {{-177, 7, 100, 0}, {"C2", "7", "100", "0", "Controller: volume"}, -5, -1},
      {{176, 2, 0, 0}, {"C1", "2", "0", "0", "Controller: 2"}, -5, -1},
      {{192, 1, -1, 0}, {"C1", "1", "", "0", "Instrument: Bright Piano"}, -4, -1},
      {{197, 90, -1, 0}, {"C6", "90", "", "0", "Instrument: unknown"}, -4, -1},
      {{201, 32, -1, 0}, {"C10", "32", "", "0", "Drum Set: TR - 808"}, -4, -1},
      {{201, 56, -1, 0}, {"C10", "56", "", "0", "Drum Set: unknown"}, -4, -1},
      {{-223, 40, -1, 3}, {"C16", "40", "", "3", "Channel Pressure"}, -1, -1},
      {{224, 0, 64, 0}, {"C1", "0", "64", "0", "Pitch Change"}, -1, -1},
      {{240, -1, -1, 480}, {"", "", "", "480", "System Exclusive"}, -1, -1},
      {{247, -1, -1, 0}, {"", "", "", "0", "System Exclusive"}, -1, -1},
      {{81, 120, -1, 0}, {"", "120", "", "0", "Set Tempo"}, -1, -1},
      {{88, 6, 8, 0}, {"", "6", "8", "0", "Time Signature"}, -1, -1},
      {{-1, -1, -1, 24, -1, -2, -1}, {"", "", "", "24", "Text"}, -1, -1},
      {{192, 0, -1, 0, -1, -1, 1}, {"C1", "0", "", "0", "Instrument: Acoustic Grand Piano"}, -4, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts.Description);
    EXPECT_EQ(Build(c.record).Texts(), TextsOf(c.texts));
    // The list builder rewrites only these two fields in notes.dat: nothing else may change.
    EventRecord classified_as = c.record;
    classified_as.RowKind = c.row_kind;
    classified_as.NoteState = c.note_state;
    EXPECT_EQ(classified, classified_as);
  }
}

// The builder fills one row after another in the same place: nothing of a row may stay behind.
// Numbers wider than their report columns stay whole.
TEST_F(RowRulesTest, ARowBuiltWhereAnotherWasIsAFreshRowWithItsReportLine) {
  BuiltRow reused;
  std::vector<std::string> lines;
  const std::vector<EventRecord> records = {{153, 36, 90, 1048576}, {-1, -1, -1, 24, -1, -2, -1}, {128, 127, 64, 12},
                                            {81, 1000, -1, 1048576}, {192, 1, -1, 1234}, {224, 127, 127, 999999},
                                            {88, 6, 8, 0}, {176, 2, 0, 7}};
  for (std::size_t i = 0; i < records.size(); ++i) {
    EventRecord in_place = records[i], fresh = records[i];
    RowNaming naming{names, genmidi, drums};
    BuildRow(in_place, static_cast<std::int64_t>(2 * i), naming, reused);
    const BuiltRow expected = BuildRow(fresh, static_cast<std::int64_t>(2 * i), naming);
    EXPECT_TRUE(reused.Texts() == expected.Texts() && reused.Melodic == expected.Melodic && in_place == fresh) << i;
    lines.push_back(ReportLine(reused));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"        C10 36   90  1048576 On  - Bass Drum 1",
                                             std::string(21, ' ') + "24     Text", "        C1 G10   64  12     Off",
                                             std::string(12, ' ') + "1000     1048576 Set Tempo",
                                             "        C1  1        1234   Instrument: Bright Piano",
                                             "        C1  127  127 999999 Pitch Change",
                                             std::string(12, ' ') + "6    8   0      Time Signature",
                                             "        C1  2    0   7      Controller: 2"}));
}

TEST_F(RowRulesTest, KeptRowsHoldNumbersWholeAndDescriptionsToForty) {
  EXPECT_EQ(KeptRow(Build({81, 1000, -1, 2097279})), (ListRow{"", "1000", "", "2097279", "Set Tempo"}));
  // Cut at 40 characters, without the blank the cut leaves at the end; the report has it whole.
  genmidi = ParseGenmidi("h\r\n0=" + std::string(27, 'x') + " " + std::string(20, 'y') + "\r\n");
  const BuiltRow long_name = Build({192, 0, -1, 0});
  EXPECT_EQ(KeptRow(long_name).Description, "Instrument: " + std::string(27, 'x'));
  EXPECT_TRUE(ReportLine(long_name).ends_with("x " + std::string(20, 'y')));
  std::string data_record(kListRowLength, '?');  // data.dat's field is cut too, blank kept
  WriteDataRecord(long_name, data_record.data());
  EXPECT_EQ(data_record, "C1 0      0     Instrument: " + std::string(27, 'x') + " ");
}

// Over a run of rows the remembered drum names are exactly what fresh lookups give.
TEST_F(RowRulesTest, RememberedDrumNamesEqualFreshLookups) {
  std::int64_t index = 20;
  for (std::int32_t key : {36, 36, 38, 38, 38, 26, 26, 27, 39, 39, 88, 36, 36}) {
    const std::string fresh = LookupDrum(genmidi, key);
    EXPECT_EQ(Build({153, key, 64, 0}, index).Description, "On  - " + (fresh.empty() ? "unknown" : fresh)) << key;
    index += key % 2 + 1;  // some rows follow each other, some leave a gap
  }
}

TEST(TotalTime, LinesForKnownAndUnknownTiming) {
  EXPECT_EQ(TotalTime(1000, -1), (TotalTimeLines{"       Total time        : ?", "        Total Time: ?"}));
  EXPECT_EQ(TotalTime(5000, 0), (TotalTimeLines{"       Total Time        : 00.01", "        Total Time: 00.01"}));
  // 3 minutes 30.4 seconds; 59.5 sixtieths round to 60; a hundred minutes and more show every digit.
  const std::vector<std::pair<std::int64_t, double>> totals = {{12624, 1.0}, {119, 0.5}, {117, 0.5}, {5999 * 60 - 1, 1.0},
                                                               {5999 * 60, 1.0}, {std::int64_t{100000} * 2097279, 1.0}};
  std::vector<std::string> reports;
  for (const auto& [ticks, minutes] : totals) reports.push_back(TotalTime(ticks, minutes).Report.substr(20));
  EXPECT_EQ(reports, (std::vector<std::string>{"03.31", "00.02", "00.01", "99.59", "100.00", "58257750.01"}));
}

TEST(GenmidiFile, ShippedFileHoldsEveryProgramAndDrumInPlace) {
  const char* path = std::getenv("QUAVERT_GENMIDI");
  const std::string bytes = path == nullptr ? "" : testing::ReadFileBytes(path);
  ASSERT_FALSE(bytes.empty());
  // Heading, 128 programs, "RHYTHM:", keys 27..88: every line ended by CR LF.
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 192);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 192);
  EXPECT_TRUE(bytes.ends_with("\r\n"));
  const GenmidiNames names = ParseGenmidi(bytes);
  ASSERT_EQ(names.Fields.size(), 192u);  // no name holds a comma
  for (int p = 0; p < 128; ++p) EXPECT_TRUE(names.Fields[p + 1].starts_with(std::to_string(p) + "=")) << p;
  // Names at both ends of the drum keys, the empty line of key 88 included: edits_test.
  EXPECT_EQ(LookupInstrument(names, 127), "Gunshot");
}

// Instruments are comma-separated fields, drums whole lines; a name that cannot be read is "unknown".
TEST(GenmidiFile, InstrumentsAreFieldsDrumsAreLinesAndWhatIsMissingIsUnknown) {
  const GenmidiNames names =
      ParseGenmidi("head\r\n0=Piano,  1=Organ\n\"2=Harp, concert\" tail,3=a=b\r\r\nRHYTHM:\r\n  High, Q \r\n\r\nSlap");
  EXPECT_EQ(names.Fields, (std::vector<std::string>{"head", "0=Piano", "1=Organ", "2=Harp, concert", "3=a=b", "",
                                                    "RHYTHM:", "High", "Q ", "", "Slap"}));
  const GenmidiNames missing = ReadGenmidi("/nonexistent/genmidi.ini");
  const GenmidiNames short_file = ParseGenmidi("h\r\n0=Piano\r\nRHYTHM:\r\nHigh Q\r\n");
  const std::vector<std::string> found = {
      LookupInstrument(names, -1), LookupInstrument(names, 2), LookupInstrument(names, 3), LookupInstrument(names, 4),
      LookupDrum(names, 27),       LookupDrum(names, 28),      LookupDrum(names, 29),      LookupDrum(names, 26),
      LookupInstrument(missing, 0), LookupDrum(missing, 36),   LookupInstrument(short_file, 0),
      LookupInstrument(short_file, 3), LookupDrum(short_file, 28), LookupDrum(ParseGenmidi("h\r\n0=Piano\r\n"), 36)};
  EXPECT_EQ(found, (std::vector<std::string>{"head", "Harp, concert", "a=b", "", "  High, Q ", "", "Slap", "", "unknown",
                                             "unknown", "Piano", "unknown", "unknown", "unknown"}));
}

using GenmidiCacheTest = testing::SessionTest;

TEST_F(GenmidiCacheTest, ReadsAgainOnlyWhenTheFileChangesSizeOrTime) {
  const std::string path = session.AppPath(kGenmidiName);
  // Writes `text` with modification time `seconds` and looks up program 0.
  auto instrument = [&](const char* text, int seconds) {
    if (text != nullptr) testing::WriteFileBytes(path, text);
    std::filesystem::last_write_time(path, std::filesystem::file_time_type(std::chrono::seconds(seconds)));
    return LookupInstrument(CurrentGenmidi(session), 0);
  };
  EXPECT_EQ(instrument("h\r\n0=Piano\r\n", 1000), "Piano");
  EXPECT_EQ(instrument("h\r\n0=Pinao\r\n", 1000), "Piano");  // same size and time: served from memory
  EXPECT_EQ(instrument(nullptr, 2000), "Pinao");
  EXPECT_EQ(instrument("h\r\n0=Harpsichord\r\n", 2000), "Harpsichord");
  std::filesystem::remove(path);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "unknown");
  std::filesystem::create_directory(path);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "unknown");
}

// An installed program reads the data folder's genmidi.ini until the user puts one of their own
// into the application folder, and goes back to it when that is removed.
TEST_F(GenmidiCacheTest, TheUsersOwnFileWinsOverTheDataFolders) {
  testing::TempFolder data;
  session.DataFolder = data.Path();
  std::filesystem::remove(session.AppPath(kGenmidiName));
  testing::WriteFileBytes(data.Join(kGenmidiName), "h\r\n0=Piano\r\n");
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Piano");
  // The same size and time as the data folder's: only the path tells them apart.
  testing::WriteFileBytes(session.AppPath(kGenmidiName), "h\r\n0=Pinao\r\n");
  const auto time = std::filesystem::last_write_time(data.Join(kGenmidiName));
  std::filesystem::last_write_time(session.AppPath(kGenmidiName), time);
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Pinao");
  std::filesystem::remove(session.AppPath(kGenmidiName));
  EXPECT_EQ(LookupInstrument(CurrentGenmidi(session), 0), "Piano");
}

TEST_F(RowRulesTest, DrumKitsControllersAndNotesAreNamed) {
  std::vector<std::string> texts;
  for (int program : {-1, 0, 7, 8, 15, 16, 23, 24, 25, 32, 33, 39, 40, 47, 48, 55, 56, 127})
    texts.push_back(DrumKitNameOf(names, program));
  for (int controller : {7, 38, 127, 2, 0, -1}) texts.push_back(LookupController(names, controller));
  for (int note : {60, 61, 0, 127}) texts.push_back(NoteText(names, note));
  EXPECT_EQ(texts, (std::vector<std::string>{"unknown", "Standard", "Standard", "Room", "Room", "Power", "Power",
                                             "Electronic", "TR - 808", "TR - 808", "Jazz", "Jazz", "Brush", "Brush",
                                             "Orchestra", "Orchestra", "unknown", "unknown", "volume", "data entry",
                                             "poly", "2", "0", "-1", "C5", "C#5", "C0", "G10"}));
  const struct {
    const char* text;
    int note;
  } notes[] = {{"C4", 48}, {"c#4", 49}, {"A0", 9}, {"C0", 0}, {"G10", 127}, {"  f#3", 42}, {"D4x", 50}, {"C0.125", 2}};
  for (const auto& n : notes) EXPECT_EQ(ReadNoteName(names, n.text), n.note) << n.text;
  for (const char* text : {"G#10", "B#4", "E#2", "C-1", "C 4", "Db4", "60", "", "C", "H4", "C11", "A4#", "C+4"})
    EXPECT_EQ(ReadNoteName(names, text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace quavert
