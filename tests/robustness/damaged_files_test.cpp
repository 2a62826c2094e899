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
using testing::DamagedFiles;
using testing::Hex;
using testing::Reaches;
using testing::Smf;

// What Block disables, and what a load enables again.
constexpr Control kFileCommands[] = {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                                     Control::Text5,   Control::Command2,        Control::mnuPlay,  Control::Toolbar2Button4};

const Bytes kSound = Smf(1, 96, {Hex("00 90 3C 64 60 80 3C 00 00 FF 2F 00")});

class DamagedFileTest : public testing::SessionTest {
 protected:
  void Open(const Bytes& bytes) {
    path = UserFile("SONG.MID", bytes);
    OpenMidiFile(session, path);
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
    OpenMidiFile(session, UserFile("OTHER.MID", kSound));
    EXPECT_TRUE(ui.Messages.empty()) << ui.Messages.front().Text;
    EXPECT_TRUE(session.file.FileLoaded);
    for (Control control : kFileCommands) EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
    Command1Click(session);
    EXPECT_EQ(ui.Items.size(), 2u);
  }

  std::string path;
};

// One session opens every damaged file in turn, each followed by a sound one, as a user going
// through a folder of broken files would.
TEST_F(DamagedFileTest, EachDamageShowsItsMessageLeavesItsStateAndTheProgramGoesOn) {
  for (const DamagedFile& damaged : DamagedFiles()) {
    SCOPED_TRACE(damaged.name);
    ui.ClearLog();
    Open(damaged.bytes);
    EXPECT_EQ(ui.MessageTexts(), damaged.messages);
    ExpectState(damaged);
    EXPECT_EQ(testing::ReadFileBytes(path), damaged.bytes);
    ExpectASoundFileLoads();
  }
}

// Answered Yes, the two repairs change the working copy, never the user's file, and the track
// then decodes.
TEST_F(DamagedFileTest, AcceptedRepairsChangeOnlyTheWorkingCopy) {
  int repairs = 0;
  for (const DamagedFile& damaged : DamagedFiles()) {
    if (damaged.messages.empty() || !damaged.messages.front().ends_with("Repair? ")) continue;
    SCOPED_TRACE(damaged.name);
    ++repairs;
    ui.ClearLog();
    ui.Answers = {Answer::kYes};
    Open(damaged.bytes);
    EXPECT_EQ(ui.MessageTexts(), damaged.messages);
    EXPECT_TRUE(session.file.FileLoaded);
    EXPECT_TRUE(ui.IsEnabled(Control::Command1));
    EXPECT_TRUE(ui.IsEnabled(Control::mnuSave));
    EXPECT_NE(AppFileBytes(kWorkCopyName), damaged.bytes);
    EXPECT_EQ(testing::ReadFileBytes(path), damaged.bytes);
    ExpectASoundFileLoads();
  }
  EXPECT_EQ(repairs, 2);
}

}  // namespace
}  // namespace quavert
