#include <gtest/gtest.h>

#include <filesystem>

#include "editing/cell_edit.h"
#include "editing_fixture.h"

namespace quavert {
namespace {

constexpr int kNotes = 1;
constexpr int kVolume = 2;
constexpr int kLength = 3;

constexpr const char* kNoteMessage = "Note must be between (A0 and G10) OR (A#0 and G#10) except B# and E#";

// One row of every kind that has editable cells, in list order.
enum Item : std::int64_t {
  kMelodic = 1,
  kDrumOn,
  kDrumOff,
  kProgram,
  kDrumProgram,
  kController,
  kTempo,
  kTimeSignature,
  kPitchBend,
  kText,
  kSysex,
  kDrumUnnamedKey,
};

class CellEditTest : public testing::EditingTest {
 protected:
  CellEditTest() {
    ShowRows({
        {144, 60, 100, 96},                 // melodic note C5
        {153, 36, 90, 0},                   // drum on
        {137, 38, 0, 12},                   // drum off
        {192, 0, -1, 0},                    // program
        {201, 0, -1, 0},                    // drum program
        {176, 7, 100, 0},                   // controller
        {81, 120, -1, 0},                   // mid-track tempo
        {88, 6, 8, 0},                      // time signature
        {-224, 0, 64, 5},                   // pitch bend under running status
        {-1, -1, -1, 24, -1, -2, -1},       // text
        {240, -1, -1, 480},                 // system exclusive
        {153, 88, 1, 0},                    // drum key with an empty name line
    });
  }

  // Types `text` into a cell as the list's editor hands it over.
  void Type(std::int64_t item, int column, std::string_view text) {
    CellEditDone(session, item, column, ui.ListText(item, column), text);
  }
  const EventRecord& Event(std::int64_t item) const { return session.buffers.EventBuffer[item - 1]; }
  const ListRow& Row(std::int64_t item) const { return session.buffers.ListBuffer[item - 1]; }

  // Types `text` and expects `message` with every buffer and cell as it was.
  void ExpectRejected(std::int64_t item, int column, std::string_view text, const std::string& message) {
    SCOPED_TRACE(std::string(text));
    const auto events = session.buffers.EventBuffer;
    const auto rows = session.buffers.ListBuffer;
    const auto items = ui.Items;
    ui.ClearLog();
    Type(item, column, text);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(session.buffers.EventBuffer, events);
    EXPECT_EQ(session.buffers.ListBuffer, rows);
    EXPECT_EQ(ui.Items, items);
  }
};

TEST_F(CellEditTest, ProgramChangeTakesAnInstrumentOrADrumSet) {
  Type(kProgram, kNotes, "5");
  EXPECT_EQ(Event(kProgram).Data1, 5);
  EXPECT_EQ(Row(kProgram).Notes, "5");
  EXPECT_EQ(Row(kProgram).Description, "Instrument: Electric Piano 2");
  EXPECT_EQ(ui.ListText(kProgram, kNotes), "5");
  EXPECT_EQ(ui.ListText(kProgram, 4), "Instrument: Electric Piano 2");
  Type(kProgram, kNotes, "0");
  EXPECT_EQ(Row(kProgram).Description, "Instrument: Acoustic Grand Piano");

  Type(kDrumProgram, kNotes, "25");
  EXPECT_EQ(Event(kDrumProgram).Data1, 25);
  EXPECT_EQ(Row(kDrumProgram).Description, "Drum Set: TR - 808");
  EXPECT_TRUE(ui.MessageTexts().empty());

  ExpectRejected(kProgram, kNotes, "128", "Instrument must be between 0 and 127");
  ExpectRejected(kDrumProgram, kNotes, "-1", "Instrument must be between 0 and 127");
  EXPECT_EQ(Event(kProgram).RowKind, -4);
  EXPECT_EQ(Event(kProgram).Status, 192);
}

TEST_F(CellEditTest, MelodicNoteTakesANoteNameShownAsTyped) {
  Type(kMelodic, kNotes, "c#4");
  EXPECT_EQ(Event(kMelodic).Data1, 49);
  EXPECT_EQ(Row(kMelodic).Notes, "49");
  EXPECT_EQ(ui.ListText(kMelodic, kNotes), "c#4");
  Type(kMelodic, kNotes, "C5");
  EXPECT_EQ(Event(kMelodic).Data1, 60);
  Type(kMelodic, kNotes, "G10");
  EXPECT_EQ(Event(kMelodic).Data1, 127);
  EXPECT_TRUE(ui.MessageTexts().empty());
  for (const char* text : {"60", "G#10", "B#4", "C-1", "C 4", "Db4", "x"})
    ExpectRejected(kMelodic, kNotes, text, kNoteMessage);
  EXPECT_EQ(Event(kMelodic).Data1, 127);
}

TEST_F(CellEditTest, DrumNoteTakesKeys27To88AndKeepsOnOrOff) {
  Type(kDrumOn, kNotes, "38");
  EXPECT_EQ(Event(kDrumOn).Data1, 38);
  EXPECT_EQ(Row(kDrumOn).Description, "On  - Acoustic Snare");
  EXPECT_EQ(ui.ListText(kDrumOn, 4), "On  - Acoustic Snare");
  Type(kDrumOff, kNotes, "27");
  EXPECT_EQ(Row(kDrumOff).Description, "Off - High Q");
  // An empty name line gives an empty name here, not "unknown".
  Type(kDrumOn, kNotes, "88");
  EXPECT_EQ(Row(kDrumOn).Description, "On  - ");
  EXPECT_EQ(ui.ListText(kDrumOn, 4), "On  -");

  ExpectRejected(kDrumOn, kNotes, "26", "Drum Instrument must be between 27 and 88");
  ExpectRejected(kDrumOn, kNotes, "89", "Drum Instrument must be between 27 and 88");
}

TEST_F(CellEditTest, DrumRowWithoutOnOrOffGetsSixBlanksBeforeTheName) {
  session.buffers.ListBuffer[kDrumOn - 1].Description = "Kick";
  Type(kDrumOn, kNotes, "36");
  EXPECT_EQ(Row(kDrumOn).Description, "      Bass Drum 1");
  EXPECT_EQ(ui.ListText(kDrumOn, 4), "Bass Drum 1");
}

TEST_F(CellEditTest, ControllerTakesANumberAndItsName) {
  Type(kController, kNotes, "10");
  EXPECT_EQ(Event(kController).Data1, 10);
  EXPECT_EQ(Row(kController).Description, "Controller: panpot");
  Type(kController, kNotes, "3");
  EXPECT_EQ(Row(kController).Description, "Controller: 3");
  ExpectRejected(kController, kNotes, "128", "Controller must be between 0 and 127");
  Type(kController, kVolume, "127");
  EXPECT_EQ(Event(kController).Data2, 127);
  EXPECT_EQ(Row(kController).Volume, "127");
  ExpectRejected(kController, kVolume, "128", "Data must be between 0 and 127");
}

TEST_F(CellEditTest, TempoRowTakes50To500BeatsPerMinute) {
  Type(kTempo, kNotes, "50");
  EXPECT_EQ(Event(kTempo).Data1, 50);
  Type(kTempo, kNotes, "500");
  EXPECT_EQ(Event(kTempo).Data1, 500);
  EXPECT_EQ(Row(kTempo).Notes, "500");
  ExpectRejected(kTempo, kNotes, "49", "Tempo must be between 50 and 500");
  ExpectRejected(kTempo, kNotes, "501", "Tempo must be between 50 and 500");
  EXPECT_EQ(Event(kTempo).Data1, 500);
}

TEST_F(CellEditTest, TimeSignatureNumeratorIsAtLeastOne) {
  ExpectRejected(kTimeSignature, kNotes, "0", "Data must be greater than 0");
  ExpectRejected(kTimeSignature, kNotes, "128", "Data must be between 0 and 127");
  ExpectRejected(kTimeSignature, kNotes, "-3", "Data must be between 0 and 127");
  EXPECT_EQ(Event(kTimeSignature).Data1, 6);
  Type(kTimeSignature, kNotes, "3");
  EXPECT_EQ(Event(kTimeSignature).Data1, 3);
  EXPECT_EQ(Row(kTimeSignature).Notes, "3");
  Type(kTimeSignature, kVolume, "4");
  EXPECT_EQ(Event(kTimeSignature).Data2, 4);
  EXPECT_EQ(Row(kTimeSignature).Description, "Time Signature");
}

TEST_F(CellEditTest, OtherRowsTakeData0To127) {
  Type(kPitchBend, kNotes, "127");
  Type(kPitchBend, kVolume, "0");
  EXPECT_EQ(Event(kPitchBend).Data1, 127);
  EXPECT_EQ(Event(kPitchBend).Data2, 0);
  EXPECT_EQ(Event(kPitchBend).Status, -224);
  ExpectRejected(kPitchBend, kNotes, "128", "Data must be between 0 and 127");
  ExpectRejected(kPitchBend, kVolume, "-1", "Data must be between 0 and 127");
  Type(kMelodic, kVolume, "0");
  EXPECT_EQ(Event(kMelodic).Data2, 0);
  EXPECT_EQ(Row(kMelodic).Description, "On");
}

TEST_F(CellEditTest, LengthTakes0To999999) {
  Type(kMelodic, kLength, "999999");
  EXPECT_EQ(Event(kMelodic).Delta, 999999);
  EXPECT_EQ(Row(kMelodic).Length, "999999");
  Type(kText, kLength, "0");
  EXPECT_EQ(Event(kText).Delta, 0);
  ExpectRejected(kMelodic, kLength, "1000000", "Data must be between 0 and 999999");
  ExpectRejected(kMelodic, kLength, "-1", "Data must be between 0 and 999999");
}

TEST_F(CellEditTest, TypedNumbersAreLeadingNumbersRoundedHalfToEven) {
  Type(kMelodic, kLength, "96.5");
  EXPECT_EQ(Event(kMelodic).Delta, 96);
  EXPECT_EQ(Row(kMelodic).Length, "96");
  EXPECT_EQ(ui.ListText(kMelodic, kLength), "96.5");
  Type(kMelodic, kLength, "97.5 ticks");
  EXPECT_EQ(Event(kMelodic).Delta, 98);
  // No number is 0.
  Type(kMelodic, kLength, "abc");
  EXPECT_EQ(Event(kMelodic).Delta, 0);
}

TEST_F(CellEditTest, MinusNinetyNineChangesNothing) {
  const auto events = session.buffers.EventBuffer;
  Type(kPitchBend, kNotes, "-99");
  Type(kMelodic, kLength, "-99");
  EXPECT_TRUE(ui.MessageTexts().empty());
  EXPECT_EQ(session.buffers.EventBuffer, events);
  EXPECT_EQ(ui.ListText(kMelodic, kLength), "96");
}

TEST_F(CellEditTest, ChannelColumnChangesOnlyTheShownText) {
  const auto events = session.buffers.EventBuffer;
  const auto rows = session.buffers.ListBuffer;
  Type(kMelodic, 0, "C9");
  EXPECT_EQ(ui.ListText(kMelodic, 0), "C9");
  EXPECT_EQ(session.buffers.EventBuffer, events);
  EXPECT_EQ(session.buffers.ListBuffer, rows);
}

TEST_F(CellEditTest, RunTimeFailuresEndTheEditSilently) {
  const auto events = session.buffers.EventBuffer;
  Type(kMelodic, kLength, "1e20");       // does not fit 32 bits
  Type(kMelodic, kLength, "9e999");      // not even a double
  Type(kMelodic, kNotes, "C9e999");      // an octave beyond any number
  CellEditDone(session, 0, kLength, "", "5");
  CellEditDone(session, 999, kLength, "", "5");
  CellEditDone(session, 999, 0, "", "C1");
  EXPECT_TRUE(ui.MessageTexts().empty());
  EXPECT_EQ(session.buffers.EventBuffer, events);

  session.buffers = {};
  CellEditDone(session, kMelodic, kLength, "", "5");
  EXPECT_TRUE(ui.MessageTexts().empty());
}

TEST_F(CellEditTest, ClickOpensTheEditorOnCellsThatHoldAValue) {
  CellClick(session, kMelodic, kNotes, 1, true);
  CellClick(session, kPitchBend, kVolume, 1, true);
  CellClick(session, kText, kLength, 1, true);
  EXPECT_EQ(ui.CellEdits, (std::vector<std::string>{"1,1:C5", "9,2:64", "10,3:24"}));

  ui.CellEdits.clear();
  CellClick(session, kText, kNotes, 1, true);     // a Text row has no Notes
  CellClick(session, kSysex, kVolume, 1, true);   // nor Volume
  CellClick(session, kProgram, kVolume, 1, true);
  CellClick(session, kMelodic, kNotes, 2, true);  // right button
  CellClick(session, kMelodic, kNotes, 1, false);
  CellClick(session, kMelodic, 0, 1, true);       // Channel and Description are not edited
  CellClick(session, kMelodic, 4, 1, true);
  CellClick(session, 0, kNotes, 1, true);         // no such item
  CellClick(session, 99, kNotes, 1, true);
  EXPECT_TRUE(ui.CellEdits.empty());
}

TEST_F(CellEditTest, EditorShowsTheCellAsTheListShowsIt) {
  Type(kMelodic, kNotes, "c#4");
  CellClick(session, kMelodic, kNotes, 1, true);
  EXPECT_EQ(ui.CellEdits, std::vector<std::string>{"1,1:c#4"});
}

// Without genmidi.ini the names are "unknown" and the values are still stored.
TEST_F(CellEditTest, MissingGenmidiStillStoresTheValue) {
  std::filesystem::remove(GenmidiPath());
  Type(kProgram, kNotes, "7");
  EXPECT_EQ(Event(kProgram).Data1, 7);
  EXPECT_EQ(Row(kProgram).Description, "Instrument: unknown");
  Type(kDrumOn, kNotes, "40");
  EXPECT_EQ(Event(kDrumOn).Data1, 40);
  EXPECT_EQ(Row(kDrumOn).Description, "On  - unknown");
  EXPECT_TRUE(ui.MessageTexts().empty());
}

TEST_F(CellEditTest, EditedNamesFollowAChangedGenmidi) {
  testing::WriteFileBytes(GenmidiPath(), "names\r\n0=Grand\r\n1=Upright piano\r\n");
  Type(kProgram, kNotes, "1");
  EXPECT_EQ(Row(kProgram).Description, "Instrument: Upright piano");
}

}  // namespace
}  // namespace quavert
