#include <gtest/gtest.h>

#include "commands/cell_edit.h"
#include "commands/edit_frame.h"
#include "commands/event_list.h"
#include "common/number_text.h"
#include "editing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;

constexpr int kNotes = 1, kVolume = 2, kLength = 3;

// One listed row of each kind that has editable cells; the item numbers are their places.
enum Item : std::int64_t { kMelodic = 1, kDrumOn, kDrumOff, kProgram, kDrumProgram, kController, kTempo, kSignature, kBend, kText, kSysex };

class CellEditTest : public testing::EditingTest {
 protected:
  CellEditTest() {
    DecodedRows({{144, 60, 100, 96}, {153, 36, 90, 0}, {137, 38, 0, 12}, {192, 0, -1, 0}, {201, 0, -1, 0}, {176, 7, 100, 0},
              {81, 120, -1, 0}, {88, 6, 8, 0}, {-224, 0, 64, 5}, {-1, -1, -1, 24, -1, -2, -1}, {240, -1, -1, 480}});
    Command1Click(session);
    ui.ClearLog();
  }
  // Types `text` into a cell, as the list's editor hands it over.
  void Type(std::int64_t item, int column, std::string_view text) {
    CellEditDone(session, item, column, Cell(item, column), text);
  }
  EventRecord Event(std::int64_t item) const { return session.buffers.Rows.Record(item - 1); }
  ListRow Row(std::int64_t item) const { return session.buffers.Rows.Texts(item - 1); }
  // The number a cell of the Notes, Volume or Length column stores, and its text in data.dat's row.
  std::pair<std::int32_t, std::string> Stored(std::int64_t item, int column) const {
    const EventRecord e = Event(item);
    const ListRow r = Row(item);
    return column == kNotes ? std::pair(e.Data1, r.Notes) : column == kVolume ? std::pair(e.Data2, r.Volume) : std::pair(e.Delta, r.Length);
  }
};

TEST_F(CellEditTest, AcceptedValuesAreStoredAndShownAsTyped) {
  const struct { Item item; int column; const char* text; std::int32_t stored; const char* description; } edits[] = {
      {kProgram, kNotes, "5", 5, "Instrument: Electric Piano 2"}, {kDrumProgram, kNotes, "25", 25, "Drum Set: TR - 808"},
      {kMelodic, kNotes, "c#4", 49, "On"}, {kMelodic, kNotes, "G10", 127, "On"}, {kMelodic, kNotes, "C4", 48, "On"},
      {kDrumOn, kNotes, "38", 38, "On  - Acoustic Snare"}, {kDrumOff, kNotes, "27", 27, "Off - High Q"},
      {kDrumOn, kNotes, "88", 88, "On  - "},  // an empty name line names nothing here
      {kController, kNotes, "10", 10, "Controller: panpot"}, {kController, kNotes, "3", 3, "Controller: 3"},
      {kController, kVolume, "127", 127, "Controller: 3"}, {kTempo, kNotes, "500", 500, "Set Tempo"},
      {kSignature, kNotes, "3", 3, "Time Signature"}, {kBend, kNotes, "127", 127, "Pitch Change"},
      {kMelodic, kVolume, "0", 0, "On"}, {kMelodic, kLength, "999999", 999999, "On"}, {kText, kLength, "0", 0, "Text"},
      {kMelodic, kLength, "96.5", 96, "On"},  // leading number, rounded half to even
      {kMelodic, kLength, "97.5 ticks", 98, "On"},
  };
  for (const auto& e : edits) {
    SCOPED_TRACE(e.text);
    Type(e.item, e.column, e.text);
    EXPECT_EQ(Stored(e.item, e.column), std::pair(e.stored, PlainNumber(e.stored)));
    EXPECT_EQ((std::vector{Cell(e.item, e.column), Row(e.item).Description, Cell(e.item, 4)}),
              (std::vector<std::string>{e.text, e.description, std::string(Trim(e.description))}));
  }
  ListRow kick = Row(kDrumOn);
  kick.Description = "Kick";  // a drum row saying neither On nor Off
  session.buffers.Rows.Set(kDrumOn - 1, Event(kDrumOn), kick);
  Type(kDrumOn, kNotes, "36");
  EXPECT_EQ(Row(kDrumOn).Description, "      Bass Drum 1");
  EXPECT_TRUE(ui.MessageTexts().empty());
  EXPECT_EQ(std::pair(Event(kBend).Status, Event(kProgram).RowKind), std::pair(-224, -4));  // running-status mark kept
}

TEST_F(CellEditTest, ValuesOutOfRangeShowTheirMessageAndOtherFailuresNoneAndNothingChanges) {
  const std::string note = "Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#",
                    data = "Data must be between 0 and 127", instrument = "Instrument must be between 0 and 127",
                    drum = "Drum Instrument must be between 27 and 88", tempo = "Tempo must be between 50 and 500",
                    length = "Data must be between 0 and 999999";
  const struct { Item item; int column; const char* text; std::string message; } edits[] = {
      {kProgram, kNotes, "128", instrument}, {kDrumProgram, kNotes, "-1", instrument}, {kMelodic, kNotes, "60", note},
      {kMelodic, kNotes, "G#10", note},  // every other name: DrumKitsControllersAndNotesAreNamed
      {kDrumOn, kNotes, "26", drum}, {kDrumOff, kNotes, "89", drum}, {kController, kVolume, "128", data},
      {kController, kNotes, "128", "Controller must be between 0 and 127"}, {kTempo, kNotes, "49", tempo},
      {kTempo, kNotes, "501", tempo}, {kSignature, kNotes, "0", "Data must be greater than 0"},
      {kSignature, kNotes, "128", data}, {kSignature, kNotes, "-3", data}, {kBend, kNotes, "128", data},
      {kBend, kVolume, "-1", data}, {kMelodic, kLength, "1000000", length}, {kText, kLength, "-1", length},
  };
  const std::vector<EventRecord> records = ListedRecords();
  const std::vector<ListRow> texts = ListedTexts();
  const auto items = ShownItems();
  std::vector<std::string> expected;
  for (const auto& e : edits) {
    Type(e.item, e.column, e.text);
    expected.push_back(e.message);
  }
  // Edits that change nothing, and failures, are silent.
  Type(kBend, kNotes, "-99");  // the "no value" mark
  for (const char* text : {"1e20", "9e999"}) Type(kMelodic, kLength, text);
  Type(kMelodic, kNotes, "C9e999");
  CellEditDone(session, 0, kLength, "", "5");
  CellEditDone(session, 99, kLength, "", "5");
  EXPECT_EQ(ui.MessageTexts(), expected);
  EXPECT_TRUE(ListedRecords() == records && ListedTexts() == texts);
  EXPECT_EQ(ShownItems(), items);
  Type(kMelodic, 0, "C9");  // the Channel column only shows what was typed
  EXPECT_EQ(Cell(kMelodic, 0), "C9");
  EXPECT_EQ(ListedTexts(), texts);
}

TEST_F(CellEditTest, ClickOpensTheEditorOnlyOnCellsThatHoldAValue) {
  Type(kMelodic, kNotes, "c#4");
  // Cells with a value, then cells without one, outside the list, or clicked otherwise.
  const std::vector<std::pair<std::int64_t, int>> cells = {{kMelodic, kNotes}, {kBend, kVolume}, {kText, kLength},
                                                           {kText, kNotes},    {kSysex, kNotes}, {kProgram, kVolume},
                                                           {kMelodic, 0},      {kMelodic, 4},    {0, kNotes}, {99, kNotes}};
  for (const auto& [item, column] : cells) CellClick(session, item, column, 1, true);
  CellClick(session, kMelodic, kNotes, 2, true);  // right button
  CellClick(session, kMelodic, kNotes, 1, false);
  EXPECT_EQ(ui.CellEdits, (std::vector<std::string>{"1,1:c#4", "9,2:64", "10,3:24"}));
}

// A tempo of 120 beats per minute, a note, the end; the tempo's data follows the 14 header
// bytes, the 8 of the chunk header and 00 FF 51 03.
const Bytes kFile = testing::Smf(0, 96, {Hex("00 FF 51 03 07 A1 20  00 90 3C 64  00 FF 2F 00")});
constexpr std::size_t kTempoAt = 14 + 8 + 4;

class EditFrameTest : public testing::EditingTest {
 protected:
  EditFrameTest() {
    testing::WriteFileBytes(session.WorkCopyPath(), kFile);
    session.file.DeltaTicks = 96;
    session.decoder.TempoBpm = 120;
    session.decoder.TempoPos = kTempoAt + 1;
  }
  // Presses "Save" with these texts in "Set Tempo:" and "Delta Ticks:"; the device is closed
  // before the working copy is touched and opened on it again afterwards, under the busy cursor.
  void Save(std::string_view tempo, std::string_view ticks) {
    ui.Texts[Control::Text6] = std::string(tempo);
    ui.Texts[Control::Text5] = std::string(ticks);
    ui.ClearLog();
    ui.DoEventsCount = 0;
    media.Commands.clear();
    Command2Click(session, ui.GetText(Control::Text6), ui.GetText(Control::Text5));
    EXPECT_EQ(media.Commands, DeviceReopened());
    EXPECT_EQ(ui.DoEventsCount, 1);
    EXPECT_EQ(ui.Calls.front() + ui.Calls.back(), "SetBusy(1)SetBusy(0)");
  }
};

TEST_F(EditFrameTest, EachValueIsCheckedOnItsOwnAndWrittenIntoTheWorkingCopy) {
  // tempo_bytes, ticks_bytes: nullptr when that value is rejected and keeps its bytes.
  const struct { const char* tempo; const char* ticks; const char* tempo_bytes; const char* ticks_bytes; } saves[] = {
      {"100", "480", "09 27 C0", "01 E0"},  {"50", "96.5", "12 4F 80", "00 60"},  // 96.5 rounds half to even
      {"500", "32767", "01 D4 C0", "7F FF"}, {"49.9", "0", nullptr, nullptr},     {"500.1", "-5", nullptr, nullptr},
      {"1e999", "0.5", nullptr, nullptr},  // 0.5 rounds to 0
      {"", "32767.5", nullptr, nullptr},    {"120abc", "1", "07 A1 20", "00 01"}, {"120", "32768", "07 A1 20", nullptr},
      {"100", "1e999", "09 27 C0", nullptr},
  };
  for (const auto& s : saves) {
    SCOPED_TRACE(std::string(s.tempo) + " / " + s.ticks);
    const Bytes before = WorkCopy();
    Save(s.tempo, s.ticks);
    std::vector<std::string> messages;
    if (!s.tempo_bytes) messages.push_back("Tempo must be between 50 and 500");
    if (!s.ticks_bytes) messages.push_back("Delta must be between 1 and 32767");
    if (s.tempo_bytes || s.ticks_bytes) messages.push_back("Data saved!");
    EXPECT_EQ(ui.MessageTexts(), messages);
    EXPECT_EQ(WorkCopy().substr(kTempoAt, 3), s.tempo_bytes ? Hex(s.tempo_bytes) : before.substr(kTempoAt, 3));
    EXPECT_EQ(WorkCopy().substr(12, 2), s.ticks_bytes ? Hex(s.ticks_bytes) : before.substr(12, 2));
  }
  Bytes expected = kFile;
  EXPECT_EQ(WorkCopy(), expected.replace(12, 2, Hex("00 01")).replace(kTempoAt, 3, Hex("09 27 C0")));
  EXPECT_EQ(std::tuple(session.decoder.TempoBpm, session.file.DeltaTicks), std::tuple(100, 1));
  // Without a first tempo only the ticks are looked at.
  session.decoder.TempoBpm = -1;
  session.decoder.TempoPos = -1;
  Save("not a tempo", "192");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  EXPECT_EQ(WorkCopy(), expected.replace(12, 2, Hex("00 C0")));
}

// A copy too short for the tempo's bytes: nothing is written, not even the division.
TEST_F(EditFrameTest, WorkingCopyThatCannotBeWrittenKeepsEverything) {
  const Bytes cut = kFile.substr(0, kTempoAt);
  testing::WriteFileBytes(session.WorkCopyPath(), cut);
  Save("100", "480");
  ASSERT_EQ(ui.Messages.size(), 1u);
  EXPECT_TRUE(ui.Messages[0].Text.starts_with("ERROR: Data not saved: " + session.WorkCopyPath()));
  EXPECT_EQ(WorkCopy(), cut);
  EXPECT_EQ(std::tuple(session.decoder.TempoBpm, session.file.DeltaTicks), std::tuple(120, 96));
}

}  // namespace
}  // namespace quavert
