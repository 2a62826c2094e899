#include "commands/save_as.h"

#include <string>

#include "app/long_work.h"
#include "app/session.h"
#include "commands/writing_messages.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "common/run_error.h"
#include "writing/rmid_writer.h"

namespace quavert {
namespace {

// The folder of the file being worked on, as the open dialog starts there too; without one, the
// current folder.
std::string InitialFolder(const Session& session) {
  if (const auto slash = session.file.MidiPath.rfind('/'); slash != std::string::npos)
    return session.file.MidiPath.substr(0, slash + 1);
  try {
    return CurrentFolder();
  } catch (const RunError&) {
    // A current folder that no longer exists: the dialog starts where it likes.
    return {};
  }
}

// The file the RMID file is put together in, in the application folder.
constexpr const char* kRmidTempName = "rmid.tmp";

bool NamesRmid(const std::string& path) { return LowerCase(path).ends_with(".rmi"); }

// Writes the working copy wrapped as an RMID file, with the other chunks of the RMID file that was
// opened, and puts it at `target` in one step.
void SaveRmid(Session& session, const std::string& target) {
  const std::string temporary = session.AppPath(kRmidTempName);
  try {
    BinaryFile out(temporary, BinaryFile::Mode::kCreate);
    WriteRmidFile(session.WorkCopyPath(), session.file.FromRmid ? session.file.MidiPath : "", out);
    out.Close();
    MoveFileSafely(temporary, target);
  } catch (const RunError&) {
    if (FileExists(temporary)) DeleteFile(temporary);
    throw;
  }
  // A copy to another file system or to a device keeps the temporary file.
  if (FileExists(temporary)) DeleteFile(temporary);
}

void ShowNotSaved(Session& session, const std::string& path, const std::string& reason) {
  session.ui.MessageBox(std::string(kFileNotSaved) + kNewLine + path + kNewLine + reason);
}

// Puts the working copy at `path`, or says why it did not.
void SaveWorkCopyAs(Session& session, const std::string& path) {
  // A file is being written: the work cannot be stopped.
  LongWork work(session.ui, false);
  if (session.file.WorkCopyName.empty() || !FileExists(session.WorkCopyPath())) {
    ShowNotSaved(session, path, kNoFileLoaded);
    return;
  }
  try {
    if (NamesRmid(path))
      SaveRmid(session, path);
    else
      CopyFileSafely(session.WorkCopyPath(), path, &work);
  } catch (const RunError& error) {
    ShowNotSaved(session, path, error.reason());
  }
}

}  // namespace

void SaveAs(Session& session) {
  FileDialogSetup setup;
  setup.DialogTitle = kSaveDialogTitle;
  setup.Filter = kSaveDialogFilter;
  setup.Flags = kSaveDialogFlags;
  setup.InitDir = InitialFolder(session);
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
  SaveWorkCopyAs(session, choice.FileName);
  session.ui.SetBusy(false);
}

}  // namespace quavert
