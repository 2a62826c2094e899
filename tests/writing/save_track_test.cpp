#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/cell_edit.h"
#include "common/file_system.h"
#include "writing_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::kEndOfTrack;
using testing::Smf;
using testing::Vlq;
using testing::ToHex;

class SaveTrackTest : public testing::WritingTest {
 protected:
  // Loads a one-track file, lists it, applies `edit` to the rows, saves; returns the saved
  // track's data in hexadecimal.
  template <typename Edit>
  std::string SaveTrack(const Bytes& track_data, Edit edit) {
    LoadTrack(track_data);
    List();
    edit();
    ui.ClearLog();
    Save();
    return SavedTrack();
  }
  std::string SaveUnedited(const Bytes& track_data) { return SaveTrack(track_data, [] {}); }
  // Types `text` into cell `column` of the row of event `index`, as the list's editor hands it over.
  void TypeInto(std::size_t index, int column, std::string_view text) {
    const auto item = static_cast<std::int64_t>(index) + 1;
    CellEditDone(session, item, column, Cell(item, column), text);
  }
};

// Every kind of event the decoder meets in a track, with a few things it does not keep a row for.
const Bytes kMixedTrack = Hex(
    "00 FF 03 04 4E 61 6D 65  00 FF 51 03 07 A1 20  00"  // track name, first tempo: before the timed part
    "90 3C 64  10 3C 00  10"                             // note on opens the timed part; off under running status
    "FF 01 05 48 65 6C 6C 6F  80 80 05"                  // text, its delta in three bytes
    "FF 59 02 00 00  07"                                 // key signature: no row, keeps its delta
    "FF 51 03 09 27 C0  00"                              // tempo 100
    "FF 58 04 06 03 18 08  00  FF 58 04 03 02 0C 04  00"  // 6/8 (clocks 24, 8 32nds), 3/4 (12, 4)
    "B0 07 64  00 0A 40  00"                             // controller, one under running status
    "F0 03 7E 09 F7  00  F7 01 F7  00"                   // system exclusive, escape
    "FF 06 03 45 6E 64  00  FF 7F 03 00 00 41  01"       // marker; sequencer specific: no row
    "C0 05  00 06  00 FF 2F 00");                        // program change, one under running status

// What an unedited save makes of it: the running note and program change gain their status
// byte, the text's delta its shortest form; nothing else changes.
const Bytes kMixedTrackSaved = Hex(
    "00 FF 03 04 4E 61 6D 65 00 FF 51 03 07 A1 20 00  90 3C 64 10  90 3C 00 10  FF 01 05 48 65 6C 6C 6F 05"
    " FF 59 02 00 00 07  FF 51 03 09 27 C0 00  FF 58 04 06 03 18 08 00  FF 58 04 03 02 0C 04 00  B0 07 64 00"
    " 0A 40 00  F0 03 7E 09 F7 00  F7 01 F7 00  FF 06 03 45 6E 64 00  FF 7F 03 00 00 41 01  C0 05 00  C0 06 00"
    " FF 2F 00");

// Rows of kMixedTrack in list order.
enum MixedRow : std::size_t { kNoteOn, kNoteOff, kText, kTempo, kSixEight, kThreeFour, kController,
                              kRunningController, kSysex, kEscape, kMarker, kProgram, kRunningProgram, kMixedRows };

TEST_F(SaveTrackTest, AnUneditedSaveLosesNothingShiftsNothingAndDecodesAsBefore) {
  LoadTrack(kMixedTrack);
  // Text2's lines after the two heading lines, which hold the track's length.
  auto after_heading = [this] { return ui.Texts[Control::Text2].substr(ui.Texts[Control::Text2].find("\r\n", 9)); };
  const std::string text2 = after_heading();
  List();
  const std::vector<EventRecord> rows = Rows();
  const std::vector<ListItem> items = ShownItems();
  ASSERT_EQ(rows.size(), kMixedRows);
  ui.ClearLog();
  media.Commands.clear();
  ui.ProgressTold.clear();
  Save();
  EXPECT_EQ(ToHex(WorkCopy()), ToHex(Smf(0, 96, {kMixedTrackSaved})));
  EXPECT_EQ(ui.Calls, (std::vector<std::string>{"SetBusy(1)", "MessageBox(Data saved!)", "DoEvents", "SetBusy(0)"}));
  // The progress goes once through the track and the two working files, which cannot be stopped.
  ASSERT_FALSE(ui.ProgressTold.empty());
  EXPECT_TRUE(std::ranges::is_sorted(ui.ProgressTold) && !ui.WorkStoppable && ui.WorkDepth == 0);
  EXPECT_EQ(ui.ProgressTold.back(), std::pair(std::int64_t{3 * kMixedRows - 1}, std::int64_t{3 * kMixedRows}));
  EXPECT_EQ(media.Commands, DeviceReopened());
  EXPECT_EQ(session.file.FileSize, static_cast<std::int64_t>(WorkCopy().size()));
  // The list is left as it was; "Save Track" stays on for more edits.
  EXPECT_TRUE(ShownItems() == items && Rows() == rows && ui.IsEnabled(Control::Command5));
  // Decoding the saved track again gives the same lines and rows.
  Choose(1);
  EXPECT_EQ(after_heading(), text2);
  List();
  EXPECT_TRUE(Rows() == rows && ShownItems() == items);
}

// Edits typed into cells and edits of the rows themselves; the list made again from notes.dat
// afterwards shows the rows as edited.
TEST_F(SaveTrackTest, EditedRowsAreWrittenFromTheirValues) {
  const std::string saved = SaveTrack(kMixedTrack, [this] {
    TypeInto(kNoteOn, 1, "D5");
    TypeInto(kNoteOn, 2, "0");
    TypeInto(kText, 3, "999999");
    TypeInto(kTempo, 1, "97");
    EditRow(kNoteOff, [](EventRecord& r) { r.Data1 = 62; });
    // 6/8 becomes 5/4: the event keeps its own clocks and 32nds (not those decoded last).
    EditRow(kSixEight, [](EventRecord& r) { r.Data1 = 5; });
    EditRow(kSixEight, [](EventRecord& r) { r.Data2 = 4; });
    EditRow(kRunningController, [](EventRecord& r) { r.Data2 = 0; });
    EditRow(kRunningProgram, [](EventRecord& r) { r.Data1 = 127; });
    EditRow(kRunningProgram, [](EventRecord& r) { r.Delta = 16384; });
  });
  EXPECT_EQ(saved, ToHex(Hex("00 FF 03 04 4E 61 6D 65 00 FF 51 03 07 A1 20 00  90 3E 00 10  90 3E 00 10"
                             " FF 01 05 48 65 6C 6C 6F BD 84 3F  FF 59 02 00 00 07  FF 51 03 09 70 3C 00"
                             " FF 58 04 05 02 18 08 00  FF 58 04 03 02 0C 04 00  B0 07 64 00  0A 00 00"
                             " F0 03 7E 09 F7 00  F7 01 F7 00  FF 06 03 45 6E 64 00  FF 7F 03 00 00 41 01"
                             " C0 05 00  C0 7F 81 80 00  FF 2F 00")));
  List();
  const std::vector<ListItem> items = ShownItems();
  EXPECT_EQ(items[kNoteOn].Sub[0] + items[kNoteOn].Sub[3] + items[kText].Sub[2] + items[kTempo].Sub[0],
            "D5Off99999997");
}

TEST_F(SaveTrackTest, UneditedSavesOfTracksTheRowsCannotSayAgain) {
  const std::vector<std::pair<Bytes, Bytes>> tracks = {  // second: what the save makes of it, "" for no change
      // A tempo whose beats per minute are not whole, a four-byte tempo, a time signature of five
      // bytes, a tempo below 4 beats per minute, an empty text and a lyric go back as they stand.
      {Hex("00 90 3C 64 00 FF 51 03 07 A1 1F 00 FF 51 04 07 A1 20 00 00 FF 58 05 06 03 18 08 01 00"
           "FF 51 03 FF FF FE 00 FF 01 00 00 FF 05 02 4C 61 00") + kEndOfTrack, ""},
      // Running status kept for controllers, pressure and pitch bend.
      {Hex("00 B0 07 64 00 0A 40 00 A1 3C 10 00 3D 11 00 D2 20 00 21 00 E3 00 40 00 7F 7F 05") + kEndOfTrack, ""},
      // System exclusive: a length in more bytes than needed, data with the top bit set, a long message.
      {Hex("00 F0 80 03 01 80 F7 00 90 3C 64 00 F0 82 2C") + Bytes(300, '\x55') + Hex("00 F7 01 F7 00") + kEndOfTrack, ""},
      // The decoder keeps a controller value byte of C8 as 127 and a note's velocity as it was read.
      {Hex("00 B0 07 C8 00 90 3C C8 00") + kEndOfTrack, Hex("00 B0 07 7F 00 90 3C C8 00") + kEndOfTrack},
      // A controller status byte with a status byte for data, a stray F4 and a zero after a meta
      // event are left out; the sequence number's length and data stay with it.
      {Hex("00 90 3C 64 00 B0 80 3C 00 00 FF 03 01 41 00 F4 00 90 3C 00 00 FF 00 02 00 01 00") + kEndOfTrack,
       Hex("00 90 3C 64 00 80 3C 00 00 FF 03 01 41 00 90 3C 00 00 FF 00 02 00 01 00") + kEndOfTrack},
  };
  for (const auto& [track, saved] : tracks) EXPECT_EQ(SaveUnedited(track), ToHex(saved.empty() ? track : saved));
}

// A text with a delta of 1 or more opens the timed part and has a row; the one before it, with
// delta 0, is copied with the chunk's beginning.
TEST_F(SaveTrackTest, TextsThatOpenTheTimedPartAreRows) {
  EXPECT_EQ(SaveTrack(Hex("00 FF 01 01 41 00 FF 05 01 42 80 10 90 3C 64 00") + kEndOfTrack, [this] { EditRow(0, [](EventRecord& r) { r.Delta = 200; }); }),
            ToHex(Hex("00 FF 01 01 41 00 FF 05 01 42 81 48 90 3C 64 00") + kEndOfTrack));
}

// A second save, without a new decode in between, copies bytes from where the first left them:
// after a system exclusive the first save moved (a running note gained its status, a delta lost
// two bytes), and after a controller status byte without data, which opened the timed part (so
// the tempo after it is a row) and which the first save left out.
TEST_F(SaveTrackTest, ASecondSaveCopiesFromWhereTheFirstLeftTheBytes) {
  const struct { const char* track; const char* first; std::size_t row; const char* second; } cases[] = {
      {"00 90 3C 64 00 3C 00 80 80 00 F0 05 01 02 03 04 F7 00 90 3C 64 80 80 00 F7 02 01 F7 00",
       "00 90 3C 64 00 90 3C 00 00 F0 05 01 02 03 04 F7 00 90 3C 64 00 F7 02 01 F7 00", 0,
       "00 90 3C 63 00 90 3C 00 00 F0 05 01 02 03 04 F7 00 90 3C 64 00 F7 02 01 F7 00"},
      {"00 B0 FF 51 03 07 A1 20 00 90 3C 64 10 80 3C 00 00", "00 FF 51 03 07 A1 20 00 90 3C 64 10 80 3C 00 00", 1,
       "00 FF 51 03 07 A1 20 00 90 3C 63 10 80 3C 00 00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.track);
    EXPECT_EQ(SaveUnedited(Hex(c.track) + kEndOfTrack), ToHex(Hex(c.first) + kEndOfTrack));
    EditRow(c.row, [](EventRecord& r) { r.Data2 = 99; });
    Save();
    EXPECT_EQ(SavedTrack(), ToHex(Hex(c.second) + kEndOfTrack));
  }
}

TEST_F(SaveTrackTest, OtherTracksStayAsTheyAreTheTrackTableFollowsAndTheLastTrackEndsTheFile) {
  std::vector<Bytes> tracks;  // each a note and its end
  for (char key : {'\x30', '\x31', '\x32'}) tracks.push_back(Hex("00 90") + key + Hex("64 00 3C 00 00") + kEndOfTrack);
  Load(Smf(1, 96, tracks));
  Choose(2);
  List();
  EditRow(1, [](EventRecord& r) { r.Data1 = 0x3E; });  // the running note off gains its status and changes key
  Save();
  tracks[1] = Hex("00 90 31 64 00 90 3E 00 00") + kEndOfTrack;
  EXPECT_EQ(ToHex(WorkCopy()), ToHex(Smf(1, 96, tracks)));
  Choose(3);  // found where the longer track two now ends
  List();
  EditRow(0, [](EventRecord& r) { r.Data2 = 1; });
  Save();
  tracks[2] = Hex("00 90 32 01 00 90 3C 00 00") + kEndOfTrack;
  EXPECT_EQ(ToHex(WorkCopy()), ToHex(Smf(1, 96, tracks)));
}

// A track of `bytes` data bytes: a note, `running` notes under running status, controllers
// under running status with `long_deltas` of them written in three bytes, and system exclusive
// data to fill the rest.
Bytes SizedTrack(std::size_t bytes, int running, int long_deltas) {
  Bytes head = Hex("00 90 3C 64 00");
  for (int i = 0; i < running; ++i) head += Hex("3C 64 00");
  head += Hex("B0 07 64 00");
  for (int i = 0; i < long_deltas; ++i) head += Hex("07 64 80 80 00");
  const std::size_t fill = bytes - head.size() - 8;  // F0, a three-byte length, a delta, the end
  return head + Hex("F0") + static_cast<char>(0x80 | fill >> 14) + static_cast<char>(0x80 | (fill >> 7 & 0x7F)) +
         static_cast<char>(fill & 0x7F) + Bytes(fill, '\x11') + Hex("00") + kEndOfTrack;
}

TEST_F(SaveTrackTest, TheLengthFieldFollowsTheTrackAcrossTheSixteenBitBoundary) {
  const struct { std::size_t before; int running, long_deltas; const char* field; } cases[] = {
      {65530, 40, 0, "00 01 00 22"},      // 40 notes gain their status: 65570
      {65540, 0, 10, "00 00 FF F0"},      // 10 deltas lose two bytes each: 65520
      {250000, 70000, 0, "00 04 E2 00"},  // grows by more than 65536: 320000
  };
  for (const auto& c : cases) {
    const Bytes track = SizedTrack(c.before, c.running, c.long_deltas);
    ASSERT_EQ(track.size(), c.before);
    SaveUnedited(track);  // the standard reader finds the file's end where the length field says
    EXPECT_EQ(ToHex(WorkCopy().substr(18, 4)), c.field) << c.before;
  }
  // A length the file cannot hold counts only its low three bytes; the save writes all four.
  Bytes file = Smf(0, 96, {Hex("00 90 3C 64 00") + kEndOfTrack});
  file[14 + 4] = 0x01;
  Load(file);
  List();
  Save();
  EXPECT_EQ(ToHex(WorkCopy().substr(18, 4)), "00 00 00 08");
}

// A track of 16 MB and more (here most of it one system-exclusive event) walks, decodes and saves
// exactly: its length field counts whole.
TEST_F(SaveTrackTest, ATrackOfSixteenMegabytesAndMoreKeepsItsWholeLength) {
  constexpr std::uint32_t kData = 0x1000010;
  const Bytes track = Hex("00 F0") + Vlq(kData) + Bytes(kData - 1, '\x11') + Hex("F7 00 90 3C 64 00") + kEndOfTrack;
  const Bytes file = Smf(0, 96, {track});
  ASSERT_EQ(ToHex(file.substr(18, 4)), "01 00 00 1E");
  Load(file);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{});
  EXPECT_NE(ui.Texts[Control::Text2].find("Length            : 16777246\r\n"), std::string::npos);
  List();
  EXPECT_EQ(Rows().size(), 2u);
  Save();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  EXPECT_TRUE(WorkCopy() == file) << "an unedited save of a long track changed it";
}

// Every failed save: one message, the working copy and the decoder's rows as they were, no new
// file left behind, and the device opened again on the working copy all the same.
TEST_F(SaveTrackTest, AFailedSaveSaysWhyAndLeavesTheWorkingCopyAsItWas) {
  const Bytes song = Smf(0, 96, {Hex("00 90 3C 64 00 3C 00 00 F0 02 01 F7 00") + kEndOfTrack});
  const std::string work = app.Join(kWorkCopyName);
  // `rows_kept`: notes.dat too is as it was (not so when writing the working files is what failed).
  auto expect_not_saved = [&](const std::string& reason, bool rows_kept = true) {
    SCOPED_TRACE(reason);
    const Bytes before = WorkCopy(), notes = AppFileBytes(kNotesDat);
    media.Commands.clear();
    ui.ClearLog();
    Save();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ERROR: Track not saved\r\n" + reason});
    EXPECT_TRUE(WorkCopy() == before && (AppFileBytes(kNotesDat) == notes || !rows_kept) && !FileExists(app.Join("dffhedc")));
    EXPECT_EQ(media.Commands, DeviceReopened());
    EXPECT_FALSE(ui.Busy);
  };
  auto load_and_edit = [&] { Load(song), List(), EditRow(0, [](EventRecord& r) { r.Data2 = 1; }); };
  load_and_edit();
  DeleteFile(work);
  expect_not_saved("Reading " + work + ": No such file or directory");
  // The working copy changed behind the list's back: a note became a program change, the track
  // was cut short, or gained an event.
  for (const char* changed : {"00 C0 3C 00 3C 00 F0 02 01 F7 00 FF 2F 00", "00 90 3C 64 00 3C 00 00",
                              "00 90 3C 64 00 3C 00 00 F0 02 01 F7 00 90 3C 00 00 FF 2F 00"}) {
    load_and_edit();
    testing::WriteFileBytes(work, Smf(0, 96, {Hex(changed)}));
    expect_not_saved("The track no longer matches its event list.");
  }
  Load(Smf(0, 96, {Hex("00 FF 03 01 41 00") + kEndOfTrack}));
  expect_not_saved("The track has no events to save.");
  Load(song);
  expect_not_saved("The track's events are not listed.");
  load_and_edit();  // last, as no listing works after it
  DeleteFile(app.Join("data.dat"));
  ::mkdir(app.Join("data.dat").c_str(), 0755);
  expect_not_saved("Writing notes.dat and data.dat: Is a directory", false);
}

}  // namespace
}  // namespace quavert
