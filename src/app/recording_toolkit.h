#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/toolkit.h"

namespace quavert {

/// A Toolkit that keeps the state a window would show and a log of every call, and answers
/// questions and file dialogs from scripts. Used by tests and by the fuzz driver.
class RecordingToolkit : public Toolkit {
 public:
  /// One message box as it was shown.
  struct Message {
    std::string Text;
    Buttons ButtonSet = Buttons::kOk;
    Icon IconShown = Icon::kNone;
    std::string Title;  ///< "" for the application title
    Answer Given = Answer::kOk;
    bool operator==(const Message&) const = default;
  };

  /// Answers for Yes/No questions, taken in order; when none is left, a question is answered No.
  std::deque<Answer> Answers;
  /// Choices returned by the next file dialogs, in order; when none is left, the dialog is cancelled.
  std::deque<FileChoice> DialogChoices;

  std::vector<Message> Messages;
  std::vector<FileDialogSetup> OpenDialogs;
  std::vector<FileDialogSetup> SaveDialogs;
  /// Every call in order, one short line each ("SetEnabled(Command1,0)").
  std::vector<std::string> Calls;

  std::map<Control, std::string> Texts;
  std::map<Control, bool> Enabled;  ///< controls never set are absent
  std::map<Control, bool> Locked;
  std::vector<std::string> ComboItems;
  std::vector<std::pair<std::string, int>> Columns;
  /// The rows the list was last told to show; it reads their texts from the session.
  std::int64_t ListRows = 0;
  std::vector<std::string> CellEdits;  ///< "item,column:text" for every editor opened
  std::string StatusText;
  std::string Caption;
  bool Busy = false;
  int DoEventsCount = 0;
  /// What the window does when the program lets it handle its events (a test looks at the state).
  std::function<void()> OnDoEvents;
  /// Long work, kept out of Calls: how many outermost works began, how deep the works now nest,
  /// whether the last outermost one could stop, every progress told ({done, total}), and the
  /// progress call (counted from 1 over all work) whose answer asks the work to stop, 0 for none.
  int WorksBegun = 0;
  int WorkDepth = 0;
  bool WorkStoppable = false;
  std::vector<std::pair<std::int64_t, std::int64_t>> ProgressTold;
  std::size_t StopAtProgress = 0;
  /// What happens meanwhile when progress is told (a test changes the files under the work).
  std::function<void()> OnWorkProgress;
  int AboutShown = 0;
  std::int64_t FrameHandle = 4242;
  int FrameWidth = 320;
  int FrameHeight = 40;

  /// The texts of the messages shown, in order.
  std::vector<std::string> MessageTexts() const;
  /// True when the control was enabled by the last call that touched it.
  bool IsEnabled(Control control) const;
  bool IsLocked(Control control) const;
  /// Forgets messages and calls, keeps the window state.
  void ClearLog();

  Answer MessageBox(std::string_view text, Buttons buttons, Icon icon, std::string_view title) override;
  FileChoice ShowOpenDialog(const FileDialogSetup& setup) override;
  FileChoice ShowSaveDialog(const FileDialogSetup& setup) override;
  std::string GetText(Control control) override;
  void SetText(Control control, std::string_view text) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetLocked(Control control, bool locked) override;
  void ComboClear() override;
  void ComboAddItem(std::string_view text) override;
  void SetStatusText(std::string_view text) override;
  void SetCaption(std::string_view caption) override;
  std::string GetCaption() override { return Caption; }
  void SetBusy(bool busy) override;
  void DoEvents() override;
  void BeginWork(bool stoppable) override;
  bool WorkProgress(std::int64_t done, std::int64_t total) override;
  void EndWork() override;
  void ShowAbout() override;
  void ListAddColumn(std::string_view caption, int width_twips) override;
  void ListReset(std::int64_t rows) override;
  void ListItemsChanged(std::int64_t first, std::int64_t last) override;
  void ListBeginCellEdit(std::int64_t item, int column, std::string_view text) override;
  std::int64_t MediaFrameHandle() override;
  void MediaFrameSize(int& width, int& height) override;
};

/// The name of a control as the code spells it ("Command1", "Toolbar2Button4").
const char* ControlName(Control control);

}  // namespace quavert
