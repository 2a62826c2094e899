#pragma once

#include <map>
#include <ostream>
#include <string>

#include "app/toolkit.h"

namespace quavert::cli {

/// The window as a terminal sees it: every message box is printed as a line "message: TEXT"
/// (a line break inside continues on the next line after two blanks), a question as
/// "question: TEXT -> yes" or "-> no", answered as told. The rest of the window is kept as state
/// for the commands to read; the list's rows are the session's, printed from there.
class ConsoleToolkit : public Toolkit {
 public:
  ConsoleToolkit(std::ostream& out, bool answer_yes);

  /// What the save dialog answers: the path given on the command line.
  std::string SavePath;
  /// The next question is answered Yes whatever --answer says (replacing the edit's output).
  bool AnswerNextYes = false;
  /// In-place editors opened so far: a click on a cell without a value opens none.
  int EditorsOpened = 0;

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
  std::string GetCaption() override { return {}; }
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

 private:
  std::ostream& out_;
  bool answer_yes_;
  std::map<Control, std::string> texts_;
};

}  // namespace quavert::cli
