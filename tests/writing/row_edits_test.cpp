#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "commands/cell_edit.h"
#include "commands/undo_commands.h"
#include "editing/event_input.h"
#include "support/standard_reader.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using Lines = std::vector<std::string>;

// Rows 1..9 of the list, with the tick of each event; the delta in front of the first is 10.
const Bytes kTrack = Hex(
    "00 FF 03 01 41"      // track name: before the timed part, no row
    "0A C0 05"            // 1: program change at 10
    "00 B0 07 64"         // 2: controller at 10
    "05 0A 40"            // 3: controller under running status at 15
    "05 90 3C 64"         // 4: note on at 20
    "10 90 3E 64"         // 5: note on at 36, overlapping
    "10 80 3C 00"         // 6: the first note's off at 52
    "08 FF 01 02 48 69"   // 7: text at 60
    "04 F0 02 7E F7"      // 8: system exclusive at 64
    "06 80 3E 00"         // 9: the second note's off at 70
    "20 FF 2F 00");       // end of track at 102

class RowEditsTest : public testing::WritingTest {
 protected:
  void SetUp() override {
    LoadTrack(kTrack);
    List();
    original_ = Music();
    ui.ClearLog();
  }
  // The track's events as an independent reader sees them: "TICK HEX", in file order.
  Lines Music() const { return testing::TrackMusic(WorkCopy(), 1); }
  // The original music without `removed` and with `added`, sorted as Sorted() sorts.
  Lines Expected(const Lines& removed, const Lines& added) const {
    Lines music = original_;
    for (const std::string& line : removed) {
      const auto found = std::find(music.begin(), music.end(), line);
      EXPECT_NE(found, music.end()) << line;
      if (found != music.end()) music.erase(found);
    }
    music.insert(music.end(), added.begin(), added.end());
    return Sorted(music);
  }
  static Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  Lines original_;
};

TEST_F(RowEditsTest, DeletesAndInsertsKeepEveryOtherEventWhereItWas) {
  const struct {
    const char* what;
    std::function<void(Session&)> act;
    Lines removed;
    Lines added;
  } cases[] = {
      {"a note on takes its off with it", [](Session& s) { DeleteItems(s, {4}); }, {"20 90 3C 64", "52 80 3C 00"}, {}},
      {"the first rows: their time goes before the timed part; the running controller gets its status",
       [](Session& s) { DeleteItems(s, {1, 2}); }, {"10 C0 05", "10 B0 07 64"}, {}},
      {"the controller whose status the next one runs on", [](Session& s) { DeleteItems(s, {2}); }, {"10 B0 07 64"}, {}},
      {"a note 10 ticks into the 16 after item 4", [](Session& s) { InsertItem(s, 4, 10, "91 40 50"); }, {}, {"30 91 40 50"}},
      {"a tempo at the very end, after the last row", [](Session& s) { InsertItem(s, 9, 32, "ff5103 07a120"); }, {},
       {"102 FF 51 07 A1 20"}},
      {"a system-exclusive event and a controller before a running one",
       [](Session& s) {
         InsertItem(s, 7, 0, "F0 02 7E F7");
         InsertItem(s, 2, 3, "B1 01 02");
       },
       {}, {"60 F0 7E F7", "13 B1 01 02"}},
      {"an insert after a row that is then deleted stays in time",
       [](Session& s) {
         InsertItem(s, 5, 0, "FF 01 01 58");
         DeleteItems(s, {5});
       },
       {"36 90 3E 64", "70 80 3E 00"}, {"36 FF 01 58"}},
      {"an insert before the first row once that row is deleted",
       [](Session& s) {
         InsertItem(s, 1, 0, "C1 07");
         DeleteItems(s, {1});
       },
       {"10 C0 05"}, {"10 C1 07"}},
      // A note placed with its length: the Off goes after the last row before its time.
      {"a note that ends with the first", [](Session& s) { InsertNote(s, 4, 2, 2, 0x40, 0x50, 30); }, {},
       {"22 92 40 50", "52 82 40 00"}},
      {"a note of length 0", [](Session& s) { InsertNote(s, 4, 2, 2, 0x40, 0x50, 0); }, {}, {"22 92 40 50", "22 82 40 00"}},
      {"a note to the end of the track", [](Session& s) { InsertNote(s, 9, 0, 2, 0x40, 0x50, 32); }, {},
       {"70 92 40 50", "102 82 40 00"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    c.act(session);
    EXPECT_EQ(ui.MessageTexts(), Lines{});
    Save();
    EXPECT_EQ(ui.MessageTexts(), Lines{"Data saved!"});
    EXPECT_EQ(Sorted(Music()), Expected(c.removed, c.added));
    // The rows now stand for the saved events: a second save gives the same bytes.
    const Bytes first = WorkCopy();
    Save();
    EXPECT_EQ(ui.MessageTexts(), (Lines{"Data saved!", "Data saved!"}));
    EXPECT_TRUE(WorkCopy() == first);
  }
}

TEST_F(RowEditsTest, DeletingEveryRowLeavesTheTrackItsLength) {
  while (!session.buffers.Rows.empty()) ASSERT_TRUE(DeleteItems(session, {1}));
  Save();
  EXPECT_EQ(ui.MessageTexts(), Lines{"Data saved!"});
  EXPECT_EQ(Music(), (Lines{original_[0], original_[1], original_[2], "102 FF 2F"}));
}

TEST_F(RowEditsTest, InvalidInputNamesWhatIsAllowedAndChangesNothing) {
  const std::vector<EventRecord> rows = ListedRecords();
  const struct {
    std::function<bool(Session&)> act;
    std::string message;
  } cases[] = {
      {[](Session& s) { return InsertItem(s, 4, 17, "91 40 50"); }, "Ticks must be between 0 and 16"},
      {[](Session& s) { return InsertItem(s, 4, -1, "91 40 50"); }, "Ticks must be between 0 and 16"},
      {[](Session& s) { return InsertItem(s, 10, 0, "91 40 50"); }, "Item must be between 1 and 9"},
      {[](Session& s) { return InsertItem(s, 0, 0, "91 40 50"); }, "Item must be between 1 and 9"},
      {[](Session& s) { return DeleteItems(s, {10}); }, "Item must be between 1 and 9"},
      {[](Session& s) { return InsertNote(s, 9, 0, 2, 0x40, 0x50, 33); }, "Length must be between 0 and 32"},
  };
  for (const auto& c : cases) {
    ui.ClearLog();
    EXPECT_FALSE(c.act(session));
    EXPECT_EQ(ui.MessageTexts(), Lines{c.message});
  }
  for (const char* hex : {"91 40", "91 40 80", "F8", "FF 03 01 41", "FF 51 03 00 00 00", "F0 03 7E F7", "9", "90 3C 6G",
                          "90 3 C64", ""}) {
    ui.ClearLog();
    EXPECT_FALSE(InsertItem(session, 1, 0, hex)) << hex;
    EXPECT_EQ(ui.MessageTexts(), Lines{kEventBytesRange}) << hex;
  }
  EXPECT_EQ(ListedRecords(), rows);
  EXPECT_FALSE(session.undo.CanUndo());
}

// Rows deleted from the start give their time to the delta in front of the timed part: up to the
// longest a variable-length number holds, and no further, so a valid file stays valid.
TEST_F(RowEditsTest, DeletesFromTheStartKeepTheLeadADeltaTime) {
  const auto track = [](const char* first_delta) {
    return Hex("00 FF 03 01 41 FF FF FF 7E 90 3C 64") + Hex(first_delta) + Hex("80 3C 00 00 C0 05 00 FF 2F 00");
  };
  LoadTrack(track("02"));  // 268435454 in front, 2 after the note
  List();
  EXPECT_FALSE(DeleteItems(session, {1}));
  EXPECT_EQ(ui.MessageTexts(), Lines{"Delta must be between 0 and 268435455"});
  EXPECT_EQ(session.buffers.Rows.size(), 3);
  EXPECT_FALSE(session.undo.CanUndo());

  LoadTrack(track("01"));  // 1 after the note: the lead reaches 268435455 exactly
  List();
  ui.ClearLog();
  ASSERT_TRUE(DeleteItems(session, {1}));
  Save();
  EXPECT_EQ(ui.MessageTexts(), Lines{"Data saved!"});
  const Lines music = testing::TrackMusic(WorkCopy(), 1);
  EXPECT_EQ(Lines(music.begin() + 3, music.end()), (Lines{"268435455 C0 05", "268435455 FF 2F"}));
}

TEST(EventInputTest, RowsOfTheEventsThatCanBeInserted) {
  const struct {
    const char* hex;
    EventRecord row;
  } cases[] = {
      {"90 3C 64", {0x90, 0x3C, 0x64}},
      {"C5 07", {0xC5, 7}},
      {"F0 02 7E F7", {0xF0}},
      {"F7 00", {0xF7}},
      {"FF 06 00", {-1, -1, -1, -1, -1, -2}},
      {"FF 51 03 07 A1 20", {81, 120}},
      {"FF 58 04 06 03 18 08", {88, 6, 8}},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> bytes = ReadHexBytes(c.hex);
    ASSERT_TRUE(bytes) << c.hex;
    const std::optional<EventInput> input = ReadEventInput(*bytes);
    ASSERT_TRUE(input) << c.hex;
    EXPECT_EQ(input->Row, c.row) << c.hex;
    EXPECT_EQ(input->Bytes, *bytes);
  }
}

// A new key of a Note On goes to the Note Off that ends it.
TEST_F(RowEditsTest, TheNoteOffFollowsItsNoteOn) {
  const struct {
    const char* what;
    const char* track;  // hex of the timed part, then the end of track
    std::int64_t item;  // the row whose Notes become D5 (3E)
    const char* saved;
    const char* status;
  } cases[] = {
      {"the same key twice: the first Off ends both", "00 90 3C 64 10 90 3C 64 10 80 3C 00 10 80 3C 00 00", 1,
       "00 90 3E 64 10 90 3C 64 10 80 3E 00 10 80 3C 00 00", ""},
      {"overlapping notes", "00 90 3C 64 10 90 40 64 10 80 3C 00 10 80 40 00 00", 2,
       "00 90 3C 64 10 90 3E 64 10 80 3C 00 10 80 3E 00 00", ""},
      {"an Off written as a Note On of velocity 0 under running status", "00 90 3C 64 10 3C 00 00", 1,
       "00 90 3E 64 10 90 3E 00 00", ""},
      {"an Off of another channel ends nothing", "00 90 3C 64 10 81 3C 00 00", 1, "00 90 3E 64 10 81 3C 00 00", kNoNoteOff},
      {"no Off at all", "00 90 3C 64 10 C0 05 00", 1, "00 90 3E 64 10 C0 05 00", kNoNoteOff},
      {"an Off edited alone changes alone", "00 90 3C 64 10 80 3C 00 00", 2, "00 90 3C 64 10 80 3E 00 00", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LoadTrack(Hex(c.track) + testing::kEndOfTrack);
    List();
    const std::vector<EventRecord> listed = ListedRecords();
    ui.StatusText.clear();
    CellEditDone(session, c.item, 1, Cell(c.item, 1), "D5");
    EXPECT_EQ(ui.StatusText, c.status);
    Save();
    EXPECT_EQ(SavedTrack(), testing::ToHex(Hex(c.saved) + testing::kEndOfTrack));
    // One step takes both rows back.
    EXPECT_EQ(session.undo.UndoName(), "Save Track");
    ASSERT_TRUE(UndoCommand(session).Done);
    EXPECT_EQ(session.undo.UndoName().substr(0, 6), "Notes ");
    EXPECT_EQ(session.undo.UndoName().substr(session.undo.UndoName().size() - 6), " -> D5");
    ASSERT_TRUE(UndoCommand(session).Done);
    EXPECT_EQ(ListedRecords(), listed);
  }
}

}  // namespace
}  // namespace quavert
