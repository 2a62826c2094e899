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
  struct Range {
    int first, last;
    const char* kit;
  };
  const Range ranges[] = {{0, 7, "Standard"}, {8, 15, "Room"},     {16, 23, "Power"},     {24, 24, "Electronic"},
                          {25, 32, "TR - 808"}, {33, 39, "Jazz"},  {40, 47, "Brush"},     {48, 55, "Orchestra"},
                          {56, 127, "unknown"}};
  for (const Range& range : ranges)
    for (int p = range.first; p <= range.last; ++p) EXPECT_EQ(DrumKitNameOf(names, p), range.kit) << p;
  EXPECT_EQ(DrumKitEntry(32), 4);
  EXPECT_EQ(DrumKitEntry(33), 5);
  EXPECT_EQ(DrumKitNameOf(names, 255), "unknown");
  EXPECT_EQ(DrumKitNameOf(names, -1), "unknown");
}

TEST_F(NameLookupsTest, ControllersByTableOrNumber) {
  EXPECT_EQ(LookupController(names, 7), "volume");
  EXPECT_EQ(LookupController(names, 6), "data entry");
  EXPECT_EQ(LookupController(names, 38), "data entry");
  EXPECT_EQ(LookupController(names, 121), "reset all controllers");
  EXPECT_EQ(LookupController(names, 127), "poly");
  EXPECT_EQ(LookupController(names, 2), "2");
  EXPECT_EQ(LookupController(names, 0), "0");
  // The end marker names nothing.
  EXPECT_EQ(LookupController(names, -1), "-1");
  // The first matching entry wins.
  names.ControllerNumber[8] = 7;
  EXPECT_EQ(LookupController(names, 7), "volume");
}

TEST_F(NameLookupsTest, NoteTextIsPitchClassAndOctave) {
  EXPECT_EQ(NoteText(names, 60), "C5");
  EXPECT_EQ(NoteText(names, 61), "C#5");
  EXPECT_EQ(NoteText(names, 0), "C0");
  EXPECT_EQ(NoteText(names, 11), "B0");
  EXPECT_EQ(NoteText(names, 127), "G10");
  EXPECT_EQ(NoteText(names, -1), "");
}

TEST_F(NameLookupsTest, TypedNoteNamesThatAreNotes) {
  EXPECT_EQ(ReadNoteName(names, "C4"), 48);
  EXPECT_EQ(ReadNoteName(names, "c#4"), 49);
  EXPECT_EQ(ReadNoteName(names, "A0"), 9);
  EXPECT_EQ(ReadNoteName(names, "C0"), 0);
  EXPECT_EQ(ReadNoteName(names, "G10"), 127);
  EXPECT_EQ(ReadNoteName(names, "C5"), 60);
  EXPECT_EQ(ReadNoteName(names, "  f#3"), 42);
  // The octave is a leading number: what follows it is ignored, a fraction rounds half to even.
  EXPECT_EQ(ReadNoteName(names, "D4x"), 50);
  EXPECT_EQ(ReadNoteName(names, "C0.125"), 2);
  // "#" anywhere makes the name two characters long.
  EXPECT_EQ(ReadNoteName(names, "A4#"), std::nullopt);
}

TEST_F(NameLookupsTest, TypedTextsThatAreNotNotes) {
  for (const char* text : {"G#10", "B#4", "E#2", "C-1", "C 4", "Db4", "60", "", "C", "C#", "H4", "C11", "#4", "C+4"})
    EXPECT_EQ(ReadNoteName(names, text), std::nullopt) << '"' << text << '"';
}

}  // namespace
}  // namespace quavert
