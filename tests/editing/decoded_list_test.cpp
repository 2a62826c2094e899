#include <gtest/gtest.h>

#include "decoding/track_decoder.h"
#include "editing/cell_edit.h"
#include "editing/edit_frame.h"
#include "editing/event_list.h"
#include "editing_fixture.h"
#include "loading/load_driver.h"
#include "support/midi_bytes.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::Hex;
using testing::ReadFileBytes;
using testing::Smf;

// A track as a sequencer writes it: tempo and time signature first, then the timed events.
const Bytes kFirstTrack = Hex(
    "00 FF 51 03 07 A1 20"        // 120 beats per minute
    " 00 FF 58 04 04 02 18 08"    // 4/4
    " 00 C0 00"                   // program 0
    " 00 90 3C 64"                // C5 on
    " 60 3C 00"                   // C5 off under running status, after a quarter
    " 00 C9 20"                   // drum kit 32
    " 00 99 24 50"                // bass drum
    " 10 B0 07 64"                // volume
    " 00 0A 40"                   // pan under running status
    " 00 FF 01 03 61 62 63"       // text
    " 00 F0 03 7E 7F F7"          // system exclusive
    " 00 FF 2F 00");
const Bytes kSecondTrack = Hex("00 C1 18 00 91 40 50 83 00 81 40 00 00 FF 2F 00");

// Files made here, loaded and decoded by the program itself, then listed.
class DecodedListTest : public testing::EditingTest {
 protected:
  DecodedListTest() {
    song = app.Join("song.mid");
    testing::WriteFileBytes(song, Smf(1, 96, {kFirstTrack, kSecondTrack}));
    OpenMidiFile(session, song);
  }
  std::string song;
};

TEST_F(DecodedListTest, ListsTheDecodedFirstTrack) {
  ASSERT_TRUE(ui.MessageTexts().empty());
  ASSERT_TRUE(ui.IsEnabled(Control::Command1));
  Command1Click(session);
  const std::vector<ListItem> expected = {
      {"C1 ", {"0", "", "0", "Instrument: Acoustic Grand Piano"}},
      {"C1 ", {"C5", "100", "96", "On"}},
      {"C1 ", {"C5", "0", "0", "Off"}},
      {"C10", {"32", "", "0", "Drum Set: TR - 808"}},
      {"C10", {"36", "80", "16", "On  - Bass Drum 1"}},
      {"C1 ", {"7", "100", "0", "Controller: volume"}},
      {"C1 ", {"10", "64", "0", "Controller: panpot"}},
      {"   ", {"", "", "0", "Text"}},
      {"   ", {"", "", "0", "System Exclusive"}},
  };
  EXPECT_EQ(ui.Items, expected);
  EXPECT_TRUE(ui.MessageTexts().empty());
  // 112 ticks at 120 beats per minute and 96 ticks per quarter: 0.58 seconds.
  const std::string text2 = ui.Texts[Control::Text2];
  EXPECT_EQ(text2.substr(text2.size() - 34), "\r\n       Total Time        : 00.01");

  // The report has the event lines after the track's meta-event lines, and the total.
  session.report.Flush();
  const std::string report = ReadFileBytes(session.report.Path());
  const std::string program = "        C1  0        0      Instrument: Acoustic Grand Piano\r\n";
  const std::size_t first_line = report.find(program);
  ASSERT_NE(first_line, std::string::npos);
  EXPECT_EQ(report.substr(first_line), program +
                "        C1 C5    100 96     On\r\n"
                "        C1 C5    0   0      Off\r\n"
                "        C10 32       0      Drum Set: TR - 808\r\n"
                "        C10 36   80  16     On  - Bass Drum 1\r\n"
                "        C1  7    100 0      Controller: volume\r\n"
                "        C1  10   64  0      Controller: panpot\r\n" +
                std::string(21, ' ') + "0      Text\r\n" +
                std::string(21, ' ') + "0      System Exclusive\r\n"
                "        Total Time: 00.01\r\n");
}

TEST_F(DecodedListTest, ListsAnotherTrackAndEditsIt) {
  Combo1Click(session, 1);
  Command1Click(session);
  EXPECT_EQ(ui.Items, (std::vector<ListItem>{{"C2 ", {"24", "", "0", "Instrument: Acoustic Guitar (nylon)"}},
                                             {"C2 ", {"E5", "80", "384", "On"}},
                                             {"C2 ", {"E5", "0", "0", "Off"}}}));
  CellEditDone(session, 2, 1, "E5", "f5");
  CellEditDone(session, 1, 1, "24", "200");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Instrument must be between 0 and 127"});
  EXPECT_EQ(session.buffers.EventBuffer[1].Data1, 65);
  EXPECT_EQ(ui.Items[1].Sub[0], "f5");
  // Listing again starts from the decoded rows.
  Command1Click(session);
  EXPECT_EQ(ui.Items[1].Sub[0], "E5");
}

TEST_F(DecodedListTest, EditFramePatchesTheLoadedWorkingCopy) {
  ASSERT_EQ(session.decoder.TempoBpm, 120);
  ui.Texts[Control::Text6] = "100";
  ui.Texts[Control::Text5] = "480";
  Command2Click(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  const Bytes work = ReadFileBytes(session.WorkCopyPath());
  EXPECT_EQ(work.substr(12, 2), Hex("01 E0"));
  EXPECT_EQ(work.substr(14 + 8 + 4, 3), Hex("09 27 C0"));
  // The user's file is not touched.
  EXPECT_EQ(ReadFileBytes(song), Smf(1, 96, {kFirstTrack, kSecondTrack}));
}

}  // namespace
}  // namespace quavert
