#include "app/recording_toolkit.h"

#include "common/run_error.h"

namespace quavert {

const char* ControlName(Control control) {
  switch (control) {
    case Control::Text1: return "Text1";
    case Control::Text2: return "Text2";
    case Control::Text3: return "Text3";
    case Control::Text4: return "Text4";
    case Control::Text5: return "Text5";
    case Control::Text6: return "Text6";
    case Control::Combo1: return "Combo1";
    case Control::Command1: return "Command1";
    case Control::Command2: return "Command2";
    case Control::Command5: return "Command5";
    case Control::mnuOpen: return "mnuOpen";
    case Control::mnuSave: return "mnuSave";
    case Control::mnuExit: return "mnuExit";
    case Control::mnuPlay: return "mnuPlay";
    case Control::mnuPause: return "mnuPause";
    case Control::mnuStop: return "mnuStop";
    case Control::mnuAbout: return "mnuAbout";
    case Control::Toolbar2Button1: return "Toolbar2Button1";
    case Control::Toolbar2Button2: return "Toolbar2Button2";
    case Control::Toolbar2Button4: return "Toolbar2Button4";
    case Control::Toolbar2Button5: return "Toolbar2Button5";
    case Control::Toolbar2Button6: return "Toolbar2Button6";
  }
  return "?";
}

std::vector<std::string> RecordingToolkit::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& message : Messages) texts.push_back(message.Text);
  return texts;
}

bool RecordingToolkit::IsEnabled(Control control) const {
  const auto it = Enabled.find(control);
  return it != Enabled.end() && it->second;
}

bool RecordingToolkit::IsLocked(Control control) const {
  const auto it = Locked.find(control);
  return it != Locked.end() && it->second;
}

void RecordingToolkit::ClearLog() {
  Messages.clear();
  Calls.clear();
  OpenDialogs.clear();
  SaveDialogs.clear();
  CellEdits.clear();
}

Answer RecordingToolkit::MessageBox(std::string_view text, Buttons buttons, Icon icon, std::string_view title) {
  Answer answer = Answer::kOk;
  if (buttons == Buttons::kYesNo) {
    answer = Answer::kNo;
    if (!Answers.empty()) {
      answer = Answers.front();
      Answers.pop_front();
    }
  }
  Messages.push_back({std::string(text), buttons, icon, std::string(title), answer});
  Calls.push_back("MessageBox(" + std::string(text) + ")");
  return answer;
}

FileChoice RecordingToolkit::ShowOpenDialog(const FileDialogSetup& setup) {
  OpenDialogs.push_back(setup);
  Calls.push_back("ShowOpenDialog");
  FileChoice choice;
  if (!DialogChoices.empty()) {
    choice = DialogChoices.front();
    DialogChoices.pop_front();
  }
  return choice;
}

FileChoice RecordingToolkit::ShowSaveDialog(const FileDialogSetup& setup) {
  SaveDialogs.push_back(setup);
  Calls.push_back("ShowSaveDialog");
  FileChoice choice;
  if (!DialogChoices.empty()) {
    choice = DialogChoices.front();
    DialogChoices.pop_front();
  }
  return choice;
}

std::string RecordingToolkit::GetText(Control control) { return Texts[control]; }

void RecordingToolkit::SetText(Control control, std::string_view text) {
  Texts[control] = std::string(text);
  Calls.push_back(std::string("SetText(") + ControlName(control) + ")");
}

void RecordingToolkit::SetEnabled(Control control, bool enabled) {
  Enabled[control] = enabled;
  Calls.push_back(std::string("SetEnabled(") + ControlName(control) + "," + (enabled ? "1" : "0") + ")");
}

void RecordingToolkit::SetLocked(Control control, bool locked) {
  Locked[control] = locked;
  Calls.push_back(std::string("SetLocked(") + ControlName(control) + "," + (locked ? "1" : "0") + ")");
}

void RecordingToolkit::ComboClear() {
  ComboItems.clear();
  Calls.push_back("ComboClear");
}

void RecordingToolkit::ComboAddItem(std::string_view text) { ComboItems.emplace_back(text); }

void RecordingToolkit::SetStatusText(std::string_view text) {
  StatusText = std::string(text);
  Calls.push_back("SetStatusText(" + StatusText + ")");
}

void RecordingToolkit::SetCaption(std::string_view caption) { Caption = std::string(caption); }

void RecordingToolkit::SetBusy(bool busy) {
  Busy = busy;
  Calls.push_back(busy ? "SetBusy(1)" : "SetBusy(0)");
}

void RecordingToolkit::DoEvents() {
  ++DoEventsCount;
  Calls.push_back("DoEvents");
  if (OnDoEvents) OnDoEvents();
}

void RecordingToolkit::BeginWork(bool stoppable) {
  if (WorkDepth++ > 0) return;
  ++WorksBegun;
  WorkStoppable = stoppable;
}

bool RecordingToolkit::WorkProgress(std::int64_t done, std::int64_t total) {
  ProgressTold.emplace_back(done, total);
  if (OnWorkProgress) OnWorkProgress();
  return WorkStoppable && ProgressTold.size() == StopAtProgress;
}

void RecordingToolkit::EndWork() {
  if (WorkDepth > 0) --WorkDepth;
}

void RecordingToolkit::ShowAbout() {
  ++AboutShown;
  Calls.push_back("ShowAbout");
}

void RecordingToolkit::ListAddColumn(std::string_view caption, int width_twips) {
  Columns.emplace_back(std::string(caption), width_twips);
}

void RecordingToolkit::ListReset(std::int64_t rows) {
  ListRows = rows;
  Calls.push_back("ListReset(" + std::to_string(rows) + ")");
}

void RecordingToolkit::ListItemsChanged(std::int64_t first, std::int64_t last) {
  // A change outside the rows shown would leave a real list drawing what is gone.
  if (first < 1 || last < first || last > ListRows) throw RunError(kIndexOutOfRange);
}

void RecordingToolkit::ListBeginCellEdit(std::int64_t item, int column, std::string_view text) {
  CellEdits.push_back(std::to_string(item) + "," + std::to_string(column) + ":" + std::string(text));
}

std::int64_t RecordingToolkit::MediaFrameHandle() { return FrameHandle; }

void RecordingToolkit::MediaFrameSize(int& width, int& height) {
  width = FrameWidth;
  height = FrameHeight;
}

}  // namespace quavert
