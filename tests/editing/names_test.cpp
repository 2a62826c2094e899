#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "editing/genmidi.h"
#include "editing/name_lookups.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

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
  const std::vector<std::string> found = {LookupInstrument(names, 0), LookupInstrument(names, 127), LookupDrum(names, 27),
                                          LookupDrum(names, 36), LookupDrum(names, 81), LookupDrum(names, 88)};
  EXPECT_EQ(found, (std::vector<std::string>{"Acoustic Grand Piano", "Gunshot", "High Q", "Bass Drum 1", "Open Triangle", ""}));
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
  ASSERT_TRUE(testing::InstallGenmidi(app.Path()));
  EXPECT_EQ(CurrentGenmidi(session), ReadGenmidi(path));
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

TEST(NameLookups, DrumKitsControllersAndNotes) {
  NameTables names;
  FillNameTables(names);
  const struct {
    int first, last;
    const char* kit;
  } ranges[] = {{0, 7, "Standard"}, {8, 15, "Room"},  {16, 23, "Power"}, {24, 24, "Electronic"}, {25, 32, "TR - 808"},
                {33, 39, "Jazz"},   {40, 47, "Brush"}, {48, 55, "Orchestra"}, {56, 127, "unknown"}, {-1, -1, "unknown"}};
  for (const auto& range : ranges)
    for (int p = range.first; p <= range.last; ++p) EXPECT_EQ(DrumKitNameOf(names, p), range.kit) << p;
  std::vector<std::string> texts;
  for (int controller : {7, 38, 127, 2, 0, -1}) texts.push_back(LookupController(names, controller));
  for (int note : {60, 61, 0, 127}) texts.push_back(NoteText(names, note));
  EXPECT_EQ(texts, (std::vector<std::string>{"volume", "data entry", "poly", "2", "0", "-1", "C5", "C#5", "C0", "G10"}));
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
