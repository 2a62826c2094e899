#include <gtest/gtest.h>

#include <tuple>

#include "decoding_fixture.h"

namespace quavert {
namespace {

using namespace testing;

class TrackSelectionTest : public DecodingTest {};

TEST_F(TrackSelectionTest, NothingHappensWithoutALoadedFileOrASelection) {
  Load(Hex("4D 54 68 64"));  // a failed load leaves nothing to choose from
  ui.ClearLog();
  Combo1Click(session, 0);
  EXPECT_TRUE(ui.Calls.empty());
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd}));
  ui.ClearLog();
  Combo1Click(session, -1);  // a chooser just emptied
  EXPECT_TRUE(ui.Calls.empty());
}

TEST_F(TrackSelectionTest, DecodesTheChosenTrackWithTheControlsItNeeds) {
  Load(Smf(1, 96, {Hex("00 90 3C 64 00") + kEnd, Hex("00 FF 03 02 42 32 00 C1 07 00") + kEnd,
                   Hex("00 FF 51 00 00") + kEnd, Hex("00 FF 03 01 41 00") + kEnd}));
  ui.SetEnabled(Control::Command5, true);
  ui.Items.push_back({});
  Choose(3);  // fails: the file commands are blocked
  ASSERT_FALSE(ui.IsEnabled(Control::Command1));
  Choose(2);
  EXPECT_EQ(std::tuple(session.file.CurrentTrack, LoadState(), ui.IsEnabled(Control::Command5), ui.Items.size()),
            std::tuple(2, int{kLoadNormal}, false, 0u));
  for (Control control : {Control::mnuSave, Control::Toolbar2Button2, Control::Command1, Control::Text6,
                          Control::Text5, Control::Command2})
    EXPECT_TRUE(ui.IsEnabled(control)) << ControlName(control);
  EXPECT_EQ(Text2(), "       Track             : 2\r\n       Length            : 13\r\n"
                     "     0 Name              : B2\r\n");
  Choose(4);  // no rows: nothing to list
  EXPECT_EQ(std::pair(ui.IsEnabled(Control::Command1), ui.IsEnabled(Control::mnuSave)), std::pair(false, true));
}

TEST_F(TrackSelectionTest, ReportTakesATracksLinesOnItsFirstWholeDecodeOnly) {
  const auto track = Hex("00 FF 03 01 41 00 90 3C 64 00") + kEnd;
  Load(Smf(1, 96, {track, track}));
  Choose(2);
  Choose(1);
  Choose(2);
  const std::string report = Report();
  EXPECT_EQ(ReportLinesOfTrack(1), "      0 Name: A\r\n");
  EXPECT_EQ(report.find("Name: A", report.find("Track : 2")), report.rfind("Name: A"));
  EXPECT_EQ(Text2Lines(), "     0 Name              : A\r\n");  // Text2 shows them every time
}

}  // namespace
}  // namespace quavert
