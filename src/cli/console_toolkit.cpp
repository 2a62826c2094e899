#include "cli/console_toolkit.h"

#include "common/file_system.h"

namespace quavert::cli {
namespace {

// "TEXT" with each line break (CR LF, or a lone LF or CR) continued after two blanks.
void PrintText(std::ostream& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out << "\n  ";
    } else {
      out << c;
    }
  }
}

}  // namespace

ConsoleToolkit::ConsoleToolkit(std::ostream& out, bool answer_yes) : out_(out), answer_yes_(answer_yes) {}

Answer ConsoleToolkit::MessageBox(std::string_view text, Buttons buttons, Icon, std::string_view) {
  if (buttons == Buttons::kYesNo) {
    const bool yes = answer_yes_ || AnswerNextYes;
    AnswerNextYes = false;
    out_ << "question: ";
    PrintText(out_, text);
    out_ << (yes ? " -> yes\n" : " -> no\n");
    return yes ? Answer::kYes : Answer::kNo;
  }
  out_ << "message: ";
  PrintText(out_, text);
  out_ << '\n';
  return Answer::kOk;
}

FileChoice ConsoleToolkit::ShowOpenDialog(const FileDialogSetup&) { return {}; }

FileChoice ConsoleToolkit::ShowSaveDialog(const FileDialogSetup&) {
  if (SavePath.empty()) return {};
  return {SavePath, NameOf(SavePath)};
}

std::string ConsoleToolkit::GetText(Control control) { return texts_[control]; }
void ConsoleToolkit::SetText(Control control, std::string_view text) { texts_[control] = std::string(text); }
void ConsoleToolkit::SetEnabled(Control, bool) {}
void ConsoleToolkit::SetLocked(Control, bool) {}
void ConsoleToolkit::ComboClear() {}
void ConsoleToolkit::ComboAddItem(std::string_view) {}
void ConsoleToolkit::SetStatusText(std::string_view) {}
void ConsoleToolkit::SetCaption(std::string_view) {}
void ConsoleToolkit::SetBusy(bool) {}
void ConsoleToolkit::DoEvents() {}
// The console shows no progress and is never asked to stop.
void ConsoleToolkit::BeginWork(bool) {}
bool ConsoleToolkit::WorkProgress(std::int64_t, std::int64_t) { return false; }
void ConsoleToolkit::EndWork() {}
void ConsoleToolkit::ShowAbout() {}

void ConsoleToolkit::ListAddColumn(std::string_view, int) {}
void ConsoleToolkit::ListReset(std::int64_t) {}
void ConsoleToolkit::ListItemsChanged(std::int64_t, std::int64_t) {}

void ConsoleToolkit::ListBeginCellEdit(std::int64_t, int, std::string_view) { ++EditorsOpened; }
std::int64_t ConsoleToolkit::MediaFrameHandle() { return 0; }

void ConsoleToolkit::MediaFrameSize(int& width, int& height) {
  width = 0;
  height = 0;
}

}  // namespace quavert::cli
