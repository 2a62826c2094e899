#include <gtest/gtest.h>

#include "editing/event_list.h"
#include "loading/load_driver.h"
#include "robustness/damaged_files.h"
#include "session/session.h"
#include "support/session_fixture.h"

namespace quavert {
namespace {

using testing::Bytes;
using testing::DamagedFile;
using testing::Reaches;

// What Block disables, and what a load enables again.
constexpr Control kFileCommands[] = {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                                     Control::Text5,   Control::Command2,        Control::mnuPlay,  Control::Toolbar2Button4};

class DamagedFileTest : public testing::SessionTest {
 protected:
  // Opens `damaged` as SONG.MID with `answer` to every question: its messages show, and the
  // user's file is as it was.
  void Open(const DamagedFile& damaged, Answer answer) {
    ui.ClearLog();
    ui.Answers.assign(4, answer);
    const std::string path = UserFile("SONG.MID", damaged.bytes);
    OpenMidiFile(session, path);
    EXPECT_EQ(ui.MessageTexts(), damaged.messages);
    EXPECT_EQ(testing::ReadFileBytes(path), damaged.bytes);
  }

  void ExpectState(const DamagedFile& damaged) {
    const bool rejected = damaged.reaches == Reaches::kRejected;
    EXPECT_EQ(session.file.FileLoaded, !rejected);
    EXPECT_EQ(session.file.LoadState, rejected ? kLoadFailed : kLoadNormal);
    EXPECT_EQ(static_cast<int>(ui.ComboItems.size()), damaged.tracks);
    if (damaged.reaches == Reaches::kDecoded) {
      for (Control control : {Control::mnuSave, Control::mnuPlay, Control::Command2, Control::Text5})
        EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
      EXPECT_EQ(ui.IsEnabled(Control::Command1), session.decoder.LastEventIndex >= 0);
    } else {
      for (Control control : kFileCommands) EXPECT_FALSE(ui.IsEnabled(control)) << ControlName(control);
    }
    if (rejected) {
      EXPECT_EQ(media.Commands.back(), "Close REDevid1 notify");
    }
    EXPECT_FALSE(ui.IsEnabled(Control::Command5));
    EXPECT_FALSE(ui.Busy);
  }

  // The program goes on: a sound file opened next loads, decodes and lists.
  void ExpectASoundFileLoads() {
    ui.ClearLog();
    const Bytes sound = testing::Smf(1, 96, {testing::Hex("00 90 3C 64 60 80 3C 00 00 FF 2F 00")});
    OpenMidiFile(session, UserFile("OTHER.MID", sound));
    EXPECT_TRUE(ui.Messages.empty()) << ui.Messages.front().Text;
    for (Control control : kFileCommands) EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
    Command1Click(session);
    EXPECT_EQ(ui.Items.size(), 2u);
  }
};

// One session opens every damaged file in turn, each followed by a sound one, as a user going
// through a folder of broken files would. The questions answered No leave the file as it came;
// answered Yes, the two repairs change the working copy, never the user's file, and the track
// then decodes.
TEST_F(DamagedFileTest, EachDamageShowsItsMessageLeavesItsStateAndTheProgramGoesOn) {
  int repairs = 0;
  for (const DamagedFile& damaged : testing::DamagedFiles()) {
    SCOPED_TRACE(damaged.name);
    Open(damaged, Answer::kNo);
    ExpectState(damaged);
    ExpectASoundFileLoads();
    if (damaged.messages.empty() || !damaged.messages.front().ends_with("Repair? ")) continue;
    ++repairs;
    Open(damaged, Answer::kYes);
    EXPECT_TRUE(ui.IsEnabled(Control::Command1));
    EXPECT_TRUE(ui.IsEnabled(Control::mnuSave));
    EXPECT_NE(AppFileBytes(kWorkCopyName), damaged.bytes);
    ExpectASoundFileLoads();
  }
  EXPECT_EQ(repairs, 2);
}

}  // namespace
}  // namespace quavert
