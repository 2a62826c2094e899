#include <gtest/gtest.h>

#include <vector>

#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "robustness/damaged_files.h"
#include "session/session.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::DamagedFile;
using testing::Reaches;

// What Block disables, and what a load enables again.
const std::vector<Control> kFileCommands = {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                                     Control::Text5,   Control::Command2,        Control::mnuPlay,  Control::Toolbar2Button4};

class DamagedFileTest : public testing::SessionTest {
 protected:
  // Opens `bytes` as `name` with `answer` to every question: its messages, and the user's file
  // as it was.
  std::vector<std::string> Open(const std::string& name, const testing::Bytes& bytes, Answer answer) {
    ui.ClearLog();
    ui.Answers.assign(4, answer);
    OpenMidiFile(session, UserFile(name, bytes));
    EXPECT_EQ(testing::ReadFileBytes(user.Join(name)), bytes);
    return ui.MessageTexts();
  }

  // 1 for each of `controls` enabled, 0 for each disabled.
  std::string Enabled(const std::vector<Control>& controls) const {
    std::string flags;
    for (Control control : controls) flags += ui.IsEnabled(control) ? '1' : '0';
    return flags;
  }

  // The program goes on: a sound file opened next loads, decodes and lists.
  void ExpectASoundFileLoads() {
    const auto sound = testing::Smf(1, 96, {testing::Hex("00 90 3C 64 60 80 3C 00 00 FF 2F 00")});
    EXPECT_TRUE(Open("OTHER.MID", sound, Answer::kNo).empty());
    EXPECT_EQ(Enabled(kFileCommands), "11111111");
    Command1Click(session);
    EXPECT_EQ(ui.Items.size(), 2u);
  }
};

// One session opens every damaged file in turn, each followed by a sound one, as a user going
// through a folder of broken files would. The questions answered No leave the file as it came,
// with the state its damage implies; answered Yes, the two repairs change the working copy,
// never the user's file, and the track then decodes.
TEST_F(DamagedFileTest, EachDamageShowsItsMessageLeavesItsStateAndTheProgramGoesOn) {
  int repairs = 0;
  for (const DamagedFile& damaged : testing::DamagedFiles()) {
    SCOPED_TRACE(damaged.name);
    EXPECT_EQ(Open("SONG.MID", damaged.bytes, Answer::kNo), damaged.messages);
    const bool rejected = damaged.reaches == Reaches::kRejected, decoded = damaged.reaches == Reaches::kDecoded;
    EXPECT_EQ(session.file.FileLoaded, !rejected);
    EXPECT_EQ(session.file.LoadState, rejected ? kLoadFailed : kLoadNormal);
    EXPECT_EQ(static_cast<int>(ui.ComboItems.size()), damaged.tracks);
    if (decoded) {
      EXPECT_EQ(Enabled({Control::mnuSave, Control::mnuPlay, Control::Command2, Control::Text5, Control::Command1}),
                session.decoder.LastEventIndex >= 0 ? "11111" : "11110");
    } else {
      EXPECT_EQ(Enabled(kFileCommands), "00000000");
    }
    EXPECT_TRUE(!rejected || media.Commands.back() == "Close REDevid1 notify") << "a rejected file leaves the device closed";
    EXPECT_FALSE(ui.IsEnabled(Control::Command5) || ui.Busy);
    ExpectASoundFileLoads();
    if (damaged.messages.empty() || !damaged.messages.front().ends_with("Repair? ")) continue;
    ++repairs;
    Open("SONG.MID", damaged.bytes, Answer::kYes);
    EXPECT_TRUE(ui.IsEnabled(Control::Command1) && ui.IsEnabled(Control::mnuSave));
    EXPECT_NE(AppFileBytes(kWorkCopyName), damaged.bytes);
    ExpectASoundFileLoads();
  }
  EXPECT_EQ(repairs, 2);
}

}  // namespace
}  // namespace quavert
