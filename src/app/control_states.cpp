#include "app/control_states.h"

namespace quavert {

ControlStates StatesOf(const ControlFacts& facts) {
  ControlStates states;
  const auto set = [&](std::initializer_list<Control> controls, bool enabled) {
    for (Control control : controls) states.Enabled.emplace_back(control, enabled);
  };
  set({Control::mnuSave, Control::Toolbar2Button2, Control::Text5, Control::Text6, Control::Command2},
      facts.FileCommands);
  set({Control::Command1}, facts.Notes);
  set({Control::Command5}, facts.SaveTrack);
  set({Control::mnuPlay, Control::Toolbar2Button4}, facts.Play);
  set({Control::mnuPause, Control::Toolbar2Button5, Control::mnuStop, Control::Toolbar2Button6}, facts.PauseStop);
  states.Locked = {{Control::Text5, facts.TicksLocked}, {Control::Text6, facts.TempoLocked}};
  return states;
}

void ShowControls(Toolkit& ui, const ControlFacts& facts) {
  const ControlStates states = StatesOf(facts);
  for (const auto& [control, enabled] : states.Enabled) ui.SetEnabled(control, enabled);
  for (const auto& [control, locked] : states.Locked) ui.SetLocked(control, locked);
}

}  // namespace quavert
