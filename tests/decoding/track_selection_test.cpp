#include <gtest/gtest.h>

#include "decoding_fixture.h"

namespace quavert {
namespace {

using testing::Hex;
using testing::kEnd;
using testing::Smf;

class TrackSelectionTest : public testing::DecodingTest {};

TEST_F(TrackSelectionTest, NothingHappensWhileNoFileIsLoaded) {
  Combo1Click(session, 0);
  EXPECT_TRUE(ui.Calls.empty());
  EXPECT_EQ(session.file.CurrentTrack, 1);
  // A failed load leaves nothing to choose from either.
  Load(Hex("4D 54 68 64"));
  ui.ClearLog();
  Combo1Click(session, 0);
  EXPECT_TRUE(ui.Calls.empty());
}

TEST_F(TrackSelectionTest, ChooserThatLostItsSelectionDecodesNothing) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd}));
  ui.ClearLog();
  Combo1Click(session, -1);
  EXPECT_TRUE(ui.Calls.empty());
}

TEST_F(TrackSelectionTest, DecodesTheChosenTrackWithTheControlsItNeeds) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 03 02 42 32 00 C1 07 00") + kEnd}));
  ui.SetEnabled(Control::Command5, true);
  ui.Items.push_back({});
  ui.ClearLog();
  Choose(2);
  EXPECT_EQ(session.file.CurrentTrack, 2);
  for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                          Control::Text5, Control::Command2})
    EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
  EXPECT_FALSE(ui.IsEnabled(Control::Command5));
  EXPECT_TRUE(ui.Items.empty());
  EXPECT_EQ(Text2(), "       Track             : 2\r\n       Length            : 13\r\n"
                     "     0 Name              : B2\r\n");
  EXPECT_EQ(LastEventIndex(), 0);
  EXPECT_EQ(ReportLinesOfTrack(2), "      0 Name: B2\r\n");
}

TEST_F(TrackSelectionTest, GoodTrackAfterAFailedOneEnablesTheControlsAgain) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 51 00 00") + kEnd}));
  Choose(2);
  ASSERT_EQ(LoadState(), kLoadFailed);
  ASSERT_FALSE(ui.IsEnabled(Control::Command1));
  Choose(1);
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_TRUE(ui.IsEnabled(Control::Command1));
  EXPECT_TRUE(ui.IsEnabled(Control::mnuSave));
}

TEST_F(TrackSelectionTest, TrackWithoutRowsDisablesNotes) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 03 01 41 00") + kEnd}));
  Choose(2);
  EXPECT_EQ(LoadState(), kLoadNormal);
  EXPECT_FALSE(ui.IsEnabled(Control::Command1));
  EXPECT_TRUE(ui.IsEnabled(Control::mnuSave));
}

}  // namespace
}  // namespace quavert
