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

const Bytes kFirstTrack = Hex(
    "00 FF 51 03 07 A1 20  00 FF 58 04 04 02 18 08"  // 120 beats per minute, 4/4: before the timed part
    " 00 C0 00  00 90 3C 64  60 3C 00"               // program 0, C5 on, off under running status
    " 00 C9 20  00 99 24 50  10 B0 07 64  00 0A 40"  // drum kit 32, bass drum, volume, pan
    " 00 FF 01 03 61 62 63  00 F0 03 7E 7F F7  00 FF 2F 00");  // text, system exclusive, end
const Bytes kSecondTrack = Hex("00 C1 18  00 91 40 50  83 00 81 40 00  00 FF 2F 00");

using DecodedListTest = testing::EditingTest;

// A file loaded and decoded by the program itself, then listed, edited and patched.
TEST_F(DecodedListTest, ListsEditsAndPatchesWhatTheLoadDecoded) {
  const std::string song = app.Join("song.mid");
  const Bytes bytes = testing::Smf(1, 96, {kFirstTrack, kSecondTrack});
  testing::WriteFileBytes(song, bytes);
  OpenMidiFile(session, song);
  Command1Click(session);
  EXPECT_EQ(ui.Items, (std::vector<ListItem>{{"C1 ", {"0", "", "0", "Instrument: Acoustic Grand Piano"}},
                                             {"C1 ", {"C5", "100", "96", "On"}},
                                             {"C1 ", {"C5", "0", "0", "Off"}},
                                             {"C10", {"32", "", "0", "Drum Set: TR - 808"}},
                                             {"C10", {"36", "80", "16", "On  - Bass Drum 1"}},
                                             {"C1 ", {"7", "100", "0", "Controller: volume"}},
                                             {"C1 ", {"10", "64", "0", "Controller: panpot"}},
                                             {"   ", {"", "", "0", "Text"}},
                                             {"   ", {"", "", "0", "System Exclusive"}}}));
  EXPECT_TRUE(ui.Texts[Control::Text2].ends_with("\r\n       Total Time        : 00.01"));  // 112 ticks

  // The Edit frame patches the first track's tempo, found by the decode, and the division.
  ui.Texts[Control::Text6] = "100";
  ui.Texts[Control::Text5] = "480";
  Command2Click(session);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Data saved!"});
  const Bytes work = testing::ReadFileBytes(session.WorkCopyPath());
  EXPECT_EQ(work.substr(12, 2), Hex("01 E0"));
  EXPECT_EQ(work.substr(14 + 8 + 4, 3), Hex("09 27 C0"));

  Combo1Click(session, 1);
  Command1Click(session);
  EXPECT_EQ(ui.Items, (std::vector<ListItem>{{"C2 ", {"24", "", "0", "Instrument: Acoustic Guitar (nylon)"}},
                                             {"C2 ", {"E5", "80", "384", "On"}},
                                             {"C2 ", {"E5", "0", "0", "Off"}}}));
  CellEditDone(session, 2, 1, "E5", "f5");
  EXPECT_EQ(session.buffers.EventBuffer[1].Data1, 65);
  Command1Click(session);  // listing again starts from the decoded rows
  EXPECT_EQ(ui.Items[1].Sub[0], "E5");

  EXPECT_EQ(testing::ReadFileBytes(song), bytes);  // the user's file is not touched
}

}  // namespace
}  // namespace quavert
