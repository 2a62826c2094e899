#include <gtest/gtest.h>

#include <map>

#include "app/control_states.h"

namespace quavert {
namespace {

std::map<Control, bool> EnabledOf(const ControlFacts& facts) {
  std::map<Control, bool> enabled;
  for (const auto& [control, on] : StatesOf(facts).Enabled) {
    EXPECT_FALSE(enabled.contains(control)) << "a control given twice";
    enabled[control] = on;
  }
  return enabled;
}

TEST(ControlStatesTest, BeforeTheFirstFileOnlyOpeningLeavingAndAboutWork) {
  const std::map<Control, bool> enabled = EnabledOf(ControlFacts{});
  for (const auto& [control, on] : enabled) EXPECT_FALSE(on) << static_cast<int>(control);
  for (Control free : {Control::mnuOpen, Control::Toolbar2Button1, Control::mnuExit, Control::mnuAbout})
    EXPECT_FALSE(enabled.contains(free)) << "never disabled: " << static_cast<int>(free);
  EXPECT_EQ(StatesOf(ControlFacts{}).Locked,
            (std::vector<std::pair<Control, bool>>{{Control::Text5, true}, {Control::Text6, false}}));
}

TEST(ControlStatesTest, AMenuItemAndItsToolbarButtonNeverDisagree) {
  const std::pair<Control, Control> twins[] = {{Control::mnuSave, Control::Toolbar2Button2},
                                               {Control::mnuPlay, Control::Toolbar2Button4},
                                               {Control::mnuPause, Control::Toolbar2Button5},
                                               {Control::mnuStop, Control::Toolbar2Button6}};
  // Every combination of the six enabling facts.
  for (int bits = 0; bits < 64; ++bits) {
    const ControlFacts facts{.FileCommands = (bits & 1) != 0, .Notes = (bits & 2) != 0, .SaveTrack = (bits & 4) != 0,
                             .Play = (bits & 8) != 0, .PauseStop = (bits & 16) != 0, .TempoLocked = (bits & 32) != 0};
    std::map<Control, bool> enabled = EnabledOf(facts);
    for (const auto& [menu, button] : twins) {
      ASSERT_TRUE(enabled.contains(menu) && enabled.contains(button));
      EXPECT_EQ(enabled[menu], enabled[button]) << bits;
    }
    EXPECT_EQ(enabled[Control::mnuSave], facts.FileCommands);
    EXPECT_EQ(enabled[Control::Command2], facts.FileCommands);
    EXPECT_EQ(enabled[Control::Command1], facts.Notes);
    EXPECT_EQ(enabled[Control::Command5], facts.SaveTrack);
    EXPECT_EQ(enabled[Control::mnuPlay], facts.Play);
    EXPECT_EQ(enabled[Control::mnuStop], facts.PauseStop);
  }
}

}  // namespace
}  // namespace quavert
