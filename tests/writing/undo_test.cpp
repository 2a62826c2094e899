#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "commands/cell_edit.h"
#include "commands/edit_frame.h"
#include "commands/undo_commands.h"
#include "support/real_midi.h"
#include "support/standard_reader.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;

// Events a random step inserts.
const char* const kInserted[] = {"90 3C 64", "80 3C 00", "B0 07 64", "C0 05", "E0 00 40", "F0 02 7E F7",
                                 "FF 01 02 48 69", "FF 51 03 07 A1 20", "FF 58 04 03 02 18 08"};

class UndoTest : public testing::WritingTest {
 protected:
  int walked = 0;
  int saves = 0;

  // The list as it stands: rows, texts and what they stand for (inserted bytes stay for a redo).
  struct ListState {
    std::vector<EventRecord> records;
    std::vector<ListRow> texts;
    bool pending;
    std::vector<std::int64_t> origins;
    std::int64_t lead;
    std::int64_t last_event;
    bool operator==(const ListState&) const = default;
  };
  ListState Now() const {
    const RowOrigins& origins = session.buffers.Origins;
    return {ListedRecords(), ListedTexts(), origins.Pending, origins.Event,
            origins.LeadTicks, session.decoder.LastEventIndex};
  }

  // One random change of the list or the working copy, as the user makes them.
  void RandomStep(std::mt19937& random) {
    const std::int64_t rows = session.buffers.Rows.size();
    const std::int64_t item = rows > 0 ? 1 + static_cast<std::int64_t>(random() % static_cast<unsigned>(rows)) : 0;
    switch (random() % 7) {
      case 0:
      case 1: {
        if (item == 0) return;
        const int column = 1 + static_cast<int>(random() % 3);
        if (Cell(item, column).empty()) return;
        CellEditDone(session, item, column, Cell(item, column), std::to_string(random() % 140));
        return;
      }
      case 2: {
        if (item == 0) return;
        const std::int32_t delta = std::max(session.buffers.Rows.Record(item - 1).Delta, 0);
        const std::int64_t ticks = static_cast<std::int64_t>(random() % (static_cast<unsigned>(delta) + 1));
        InsertItem(session, item, ticks, kInserted[random() % std::size(kInserted)]);
        return;
      }
      case 3:
        if (item > 0) DeleteItems(session, {item});
        return;
      case 4:
      case 5: {
        Save();
        const UndoEntry* saved = session.undo.NextUndo();
        if (saved == nullptr || !saved->File || saved->Name != "Save Track") return;
        // Only the changed bytes are kept, not the file.
        const int track = session.file.CurrentTrack;
        const std::int64_t chunk = session.tracks.TrackStart[static_cast<std::size_t>(track + 1)] -
                                   session.tracks.TrackStart[static_cast<std::size_t>(track)];
        EXPECT_LE(static_cast<std::int64_t>(KeptBytes(*saved->File)), 2 * chunk);
        return;
      }
      default:
        ui.SetText(Control::Text5, std::to_string(1 + random() % 960));
        Command2Click(session, ui.GetText(Control::Text6), ui.GetText(Control::Text5));
        return;
    }
  }

  // Random steps on track `track` of `file`; taking them all back gives the working copy and the
  // list as they were, byte for byte, and making them again gives what the steps made.
  void Walk(const Bytes& file, int track, unsigned seed) {
    Load(file);
    if (track > 1) Choose(track);
    if (session.file.LoadState == kLoadFailed || session.decoder.LastEventIndex < 0) return;
    List();
    ui.ClearLog();
    const Bytes start = WorkCopy();
    const ListState listed = Now();
    std::mt19937 random(seed);
    for (int step = 0; step < 14; ++step) RandomStep(random);
    Save();
    const Bytes end = WorkCopy();
    const ListState edited = Now();
    EXPECT_NO_THROW(testing::ReadStandardFile(end));
    for (const std::string& message : ui.MessageTexts()) {
      EXPECT_EQ(message.find("not saved"), std::string::npos) << message;
      if (message == "Data saved!") ++saves;
    }

    std::size_t steps = 0;
    for (; session.undo.CanUndo(); ++steps) ASSERT_TRUE(UndoCommand(session).Done) << session.undo.UndoName();
    EXPECT_TRUE(WorkCopy() == start) << "undo all";
    EXPECT_TRUE(Now() == listed) << "undo all";
    for (; session.undo.CanRedo(); --steps) ASSERT_TRUE(RedoCommand(session).Done) << session.undo.RedoName();
    EXPECT_EQ(steps, 0u);
    EXPECT_TRUE(WorkCopy() == end) << "redo all";
    EXPECT_TRUE(Now() == edited) << "redo all";
    ++walked;
  }

  void WalkEveryTrack(const std::vector<std::string>& paths, int most_tracks) {
    unsigned seed = 1;
    for (const std::string& path : paths) {
      const Bytes file = testing::ReadFileBytes(path);
      for (int track = 1; track <= std::min(testing::TrackCount(file), most_tracks); ++track) {
        SCOPED_TRACE(path + " track " + std::to_string(track) + " seed " + std::to_string(seed));
        Walk(file, track, seed++);
      }
    }
    EXPECT_GT(walked, 0);
  }
};

TEST_F(UndoTest, RandomStepsOnTheExamplesAreTakenBackAndMadeAgainExactly) {
  for (int round = 0; round < 3; ++round) WalkEveryTrack(testing::ExampleFiles(), 16);
}

TEST_F(UndoTest, RandomStepsOnRealSongsAreTakenBackAndMadeAgainExactly) {
  std::vector<std::string> files = testing::RealMidiFiles();
  if (files.empty()) GTEST_SKIP() << "no real MIDI files here (offline?)";
  WalkEveryTrack(files, 4);
  std::printf("%zu songs: %d tracks walked, %d saves\n", files.size(), walked, saves);
}

TEST_F(UndoTest, EachStepHasItsNameAndANewStepEndsRedo) {
  Load(testing::Smf(0, 96, {testing::Hex("00 C0 05 00 B0 07 60 10 90 3C 64 10 80 3C 00 00") + testing::kEndOfTrack}));
  List();
  CellEditDone(session, 2, 2, "96", "100");
  InsertItem(session, 3, 4, "91 40 50");
  DeleteItems(session, {3});
  Save();
  ui.SetText(Control::Text5, "192");
  Command2Click(session, ui.GetText(Control::Text6), ui.GetText(Control::Text5));
  // The division byte that changed, before and after: not the file.
  ASSERT_TRUE(session.undo.NextUndo() && session.undo.NextUndo()->File);
  EXPECT_EQ(KeptBytes(*session.undo.NextUndo()->File), 2u);
  const std::vector<std::string> names = {"Ticks 96 -> 192", "Save Track", "Delete 2 Events", "Insert 91 40 50",
                                          "Volume 96 -> 100"};
  for (const std::string& name : names) {
    EXPECT_EQ(session.undo.UndoName(), name);
    ASSERT_TRUE(UndoCommand(session).Done);
    EXPECT_EQ(session.undo.RedoName(), name);
  }
  EXPECT_FALSE(session.undo.CanUndo());
  EXPECT_FALSE(UndoCommand(session).Done);
  ASSERT_TRUE(RedoCommand(session).Done);
  CellEditDone(session, 1, 1, "5", "6");
  EXPECT_FALSE(session.undo.CanRedo());
  // A load ends the history.
  Load(testing::Smf(0, 96, {testing::Hex("00 C0 05 00") + testing::kEndOfTrack}));
  EXPECT_FALSE(session.undo.CanUndo());
}

}  // namespace
}  // namespace quavert
