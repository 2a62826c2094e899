#pragma once

#include <utility>
#include <vector>

#include "app/toolkit.h"

namespace quavert {

/// What the commands last decided about the window's controls. Controls that stand for one
/// action (a menu item and its toolbar button, the Edit frame's parts) share one flag, so they
/// can never disagree. The defaults are the window before the first file: only opening, leaving,
/// the About box and the (empty) track chooser do anything.
struct ControlFacts {
  bool FileCommands = false;  ///< Save Midi (menu and toolbar) and the Edit frame: both boxes and its Save
  bool Notes = false;         ///< "Notes..."
  bool SaveTrack = false;     ///< "Save Track": the list holds rows of this track
  bool Play = false;          ///< Play (menu and toolbar)
  bool PauseStop = false;     ///< Pause and Stop (menu and toolbar)
  bool TicksLocked = true;    ///< the ticks box shows its text but takes no typing
  bool TempoLocked = false;   ///< the tempo box likewise (the track has no tempo to change)
};

/// The controls' states the facts give.
struct ControlStates {
  std::vector<std::pair<Control, bool>> Enabled;  ///< every control a command enables or disables
  std::vector<std::pair<Control, bool>> Locked;   ///< the two text boxes of the Edit frame
  bool operator==(const ControlStates&) const = default;
};

/// The one rule from facts to controls.
ControlStates StatesOf(const ControlFacts& facts);

/// Shows the states of `facts` in the window.
void ShowControls(Toolkit& ui, const ControlFacts& facts);

}  // namespace quavert
