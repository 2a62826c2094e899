#include <gtest/gtest.h>

#include "editing/name_lookups.h"

namespace quavert {
namespace {

class NameLookupsTest : public ::testing::Test {
 protected:
  NameLookupsTest() { FillNameTables(names); }
  NameTables names;
};

TEST_F(NameLookupsTest, DrumKitsCoverEveryProgram) {
  const struct {
    int first, last;
    const char* kit;
  } ranges[] = {{0, 7, "Standard"}, {8, 15, "Room"},  {16, 23, "Power"}, {24, 24, "Electronic"}, {25, 32, "TR - 808"},
                {33, 39, "Jazz"},   {40, 47, "Brush"}, {48, 55, "Orchestra"}, {56, 127, "unknown"}};
  for (const auto& range : ranges)
    for (int p = range.first; p <= range.last; ++p) EXPECT_EQ(DrumKitNameOf(names, p), range.kit) << p;
  EXPECT_EQ(DrumKitNameOf(names, -1), "unknown");
}

TEST_F(NameLookupsTest, ControllersAreNamedByTableOrNumber) {
  EXPECT_EQ(LookupController(names, 7), "volume");
  EXPECT_EQ(LookupController(names, 38), "data entry");
  EXPECT_EQ(LookupController(names, 127), "poly");
  EXPECT_EQ(LookupController(names, 2), "2");
  EXPECT_EQ(LookupController(names, 0), "0");
  EXPECT_EQ(LookupController(names, -1), "-1");  // the end marker names nothing
}

TEST_F(NameLookupsTest, NotesAreNamedAndReadBack) {
  EXPECT_EQ(NoteText(names, 60), "C5");
  EXPECT_EQ(NoteText(names, 61), "C#5");
  EXPECT_EQ(NoteText(names, 0), "C0");
  EXPECT_EQ(NoteText(names, 127), "G10");
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
