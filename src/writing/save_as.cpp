#include "writing/save_as.h"

#include <string>

#include "common/file_system.h"
#include "common/run_error.h"
#include "session/session.h"
#include "writing/writing_messages.h"

namespace quavert {
namespace {

std::string InitialFolder() {
  try {
    return CurrentFolder();
  } catch (const RunError&) {
    // A current folder that no longer exists: the dialog starts where it likes.
    return {};
  }
}

void ShowNotSaved(Session& session, const std::string& path, const std::string& reason) {
  session.ui.MessageBox(std::string(kFileNotSaved) + kNewLine + path + kNewLine + reason);
}

}  // namespace

void SaveAs(Session& session) {
  FileDialogSetup setup;
  setup.DialogTitle = kSaveDialogTitle;
  setup.Filter = kSaveDialogFilter;
  setup.Flags = kSaveDialogFlags;
  setup.InitDir = InitialFolder();
  setup.FileName = "";
  const FileChoice choice = session.ui.ShowSaveDialog(setup);
  if (choice.FileName.empty()) return;

  if (FileExists(choice.FileName)) {
    const std::string title = choice.FileTitle.empty() ? NameOf(choice.FileName) : choice.FileTitle;
    if (session.ui.MessageBox(title + kAlreadyExists, Buttons::kYesNo, Icon::kQuestion, kConfirmationTitle) !=
        Answer::kYes)
      return;
  }

  session.ui.SetBusy(true);
  if (session.file.WorkCopyName.empty() || !FileExists(session.WorkCopyPath())) {
    ShowNotSaved(session, choice.FileName, kNoFileLoaded);
  } else {
    try {
      CopyFileSafely(session.WorkCopyPath(), choice.FileName);
    } catch (const RunError& error) {
      ShowNotSaved(session, choice.FileName, error.reason());
    }
  }
  session.ui.SetBusy(false);
}

}  // namespace quavert
