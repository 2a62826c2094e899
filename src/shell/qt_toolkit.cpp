#include "shell/qt_toolkit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "common/run_error.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/qt_text.h"
#include "shell/work_guard.h"

namespace quavert {
namespace {

constexpr const char* kApplicationTitle = "Quavert";
constexpr int kTwipsPerInch = 1440;
// The progress bar counts in tenths of a percent.
constexpr int kProgressRange = 1000;

// What the window's text boxes show use CR LF inside the program and LF on the screen.
std::string WithCrLf(const QString& text) {
  std::string bytes = FromUser(text);
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
    out += bytes[i];
  }
  return out;
}

FileChoice RunFileDialog(QWidget* parent, const FileDialogSetup& setup, bool save) {
  QFileDialog dialog(parent);
  SetUpFileDialog(dialog, setup, save);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return {};
  return {PathBytes(chosen.front()), PathBytes(QFileInfo(chosen.front()).fileName())};
}

}  // namespace

void SetUpMessageBox(QMessageBox& box, std::string_view text, Buttons buttons, Icon icon, std::string_view title) {
  box.setWindowTitle(title.empty() ? QString::fromLatin1(kApplicationTitle) : ToDisplay(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(ToDisplay(text));
  switch (icon) {
    case Icon::kNone: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::kExclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::kQuestion: box.setIcon(QMessageBox::Question); break;
  }
  if (buttons == Buttons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
}

Answer AnswerOf(int button) {
  if (button == QMessageBox::Yes) return Answer::kYes;
  if (button == QMessageBox::No) return Answer::kNo;
  return Answer::kOk;
}

void SetUpFileDialog(QFileDialog& dialog, const FileDialogSetup& setup, bool save) {
  dialog.setWindowTitle(ToDisplay(setup.DialogTitle));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // The program checks for itself whether an opened file exists and whether to overwrite.
  dialog.setFileMode(!save && (setup.Flags & kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (setup.Flags & kOverwritePrompt) == 0);
  const QStringList filters = NameFilters(setup.Filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!setup.InitDir.empty()) dialog.setDirectory(QFile::decodeName(setup.InitDir.c_str()));
  if (!setup.FileName.empty()) dialog.selectFile(QFile::decodeName(setup.FileName.c_str()));
}

QtToolkit::QtToolkit(frmmain& window) : window_(window), guard_(std::make_unique<WorkGuard>(window)) {}

QtToolkit::~QtToolkit() {
  if (busy_) QApplication::restoreOverrideCursor();
}

Answer QtToolkit::MessageBox(std::string_view text, Buttons buttons, Icon icon, std::string_view title) {
  QMessageBox box(&window_);
  SetUpMessageBox(box, text, buttons, icon, title);
  return AnswerOf(box.exec());
}

FileChoice QtToolkit::ShowOpenDialog(const FileDialogSetup& setup) { return RunFileDialog(&window_, setup, false); }

FileChoice QtToolkit::ShowSaveDialog(const FileDialogSetup& setup) {
  FileChoice choice = RunFileDialog(&window_, setup, true);
  save_choice_ = choice.FileName;
  return choice;
}

QWidget* QtToolkit::WidgetOf(Control control) const {
  switch (control) {
    case Control::Text1: return window_.Text1;
    case Control::Text2: return window_.Text2;
    case Control::Text3: return window_.Text3;
    case Control::Text4: return window_.Text4;
    case Control::Text5: return window_.Text5;
    case Control::Text6: return window_.Text6;
    case Control::Combo1: return window_.Combo1;
    case Control::Command1: return window_.Command1;
    case Control::Command2: return window_.Command2;
    case Control::Command5: return window_.Command5;
    default: return nullptr;
  }
}

QAction* QtToolkit::ActionOf(Control control) const {
  switch (control) {
    case Control::mnuOpen: return window_.mnuOpen;
    case Control::mnuSave: return window_.mnuSave;
    case Control::mnuExit: return window_.mnuExit;
    case Control::mnuPlay: return window_.mnuPlay;
    case Control::mnuPause: return window_.mnuPause;
    case Control::mnuStop: return window_.mnuStop;
    case Control::mnuAbout: return window_.mnuAbout;
    case Control::Toolbar2Button1: return window_.Toolbar2Buttons[1];
    case Control::Toolbar2Button2: return window_.Toolbar2Buttons[2];
    case Control::Toolbar2Button4: return window_.Toolbar2Buttons[4];
    case Control::Toolbar2Button5: return window_.Toolbar2Buttons[5];
    case Control::Toolbar2Button6: return window_.Toolbar2Buttons[6];
    default: return nullptr;
  }
}

QString QtToolkit::WidgetText(Control control) const {
  QWidget* widget = WidgetOf(control);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
  if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) return text->toPlainText();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    // An item shows "N - Name" for a named track; the program knows it by its number.
    const QVariant number = combo->currentData();
    return number.isValid() ? number.toString() : combo->currentText();
  }
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
  if (QAction* action = ActionOf(control)) return action->text();
  return {};
}

std::string QtToolkit::GetText(Control control) {
  const QString shown = WidgetText(control);
  // Text the program set and the user has not changed comes back byte for byte.
  if (const auto it = texts_set_.find(control); it != texts_set_.end() && it->second.Shown == shown)
    return it->second.Bytes;
  return WithCrLf(shown);
}

void QtToolkit::SetText(Control control, std::string_view text) {
  const QString shown = control == Control::Text2 ? ToDisplay(text, encoding_) : ToDisplay(text);
  QWidget* widget = WidgetOf(control);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(shown);
    line->setCursorPosition(0);
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    box->setPlainText(shown);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    // A drop-down list shows only its items: the text selects the item that has it.
    const int item = combo->findData(shown, Qt::UserRole, Qt::MatchExactly);
    combo->setCurrentIndex(item >= 0 ? item : combo->findText(shown, Qt::MatchExactly));
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(shown);
  } else if (QAction* action = ActionOf(control)) {
    action->setText(shown);
  }
  texts_set_[control] = {std::string(text), WidgetText(control)};
}

void QtToolkit::SetTextEncoding(TextEncoding encoding) {
  if (encoding == encoding_) return;
  encoding_ = encoding;
  const auto it = texts_set_.find(Control::Text2);
  // Text2 shows what the program set until the program sets it again: only that is read anew.
  if (it == texts_set_.end() || it->second.Shown != WidgetText(Control::Text2)) return;
  const std::string bytes = it->second.Bytes;
  SetText(Control::Text2, bytes);
}

void QtToolkit::SetEnabled(Control control, bool enabled) {
  if (QWidget* widget = WidgetOf(control)) widget->setEnabled(enabled);
  else if (QAction* action = ActionOf(control)) action->setEnabled(enabled);
}

void QtToolkit::SetLocked(Control control, bool locked) {
  QWidget* widget = WidgetOf(control);
  if (auto* line = qobject_cast<QLineEdit*>(widget)) line->setReadOnly(locked);
  else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) box->setReadOnly(locked);
}

void QtToolkit::ComboClear() {
  ++chooser_clears_;
  window_.Combo1->clear();
}

void QtToolkit::ComboAddItem(std::string_view text) { window_.Combo1->addItem(ToDisplay(text), ToDisplay(text)); }

void QtToolkit::SetStatusText(std::string_view text) { window_.StatusBar1->setText(ToDisplay(text)); }

void QtToolkit::SetCaption(std::string_view caption) {
  caption_set_ = {std::string(caption), ToDisplay(caption)};
  window_.SetCaption(caption_set_.Shown);
}

std::string QtToolkit::GetCaption() {
  // The window sets its first caption itself.
  if (window_.Caption() == caption_set_.Shown) return caption_set_.Bytes;
  return FromUser(window_.Caption());
}

void QtToolkit::SetBusy(bool busy) {
  // A state, not a count: the pointer is busy or it is not.
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else QApplication::restoreOverrideCursor();
}

void QtToolkit::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtToolkit::BeginWork(bool stoppable) {
  if (work_depth_++ > 0) return;
  work_stoppable_ = stoppable;
  work_clock_.start();
  guard_->Start();
}

bool QtToolkit::WorkProgress(std::int64_t done, std::int64_t total) {
  if (work_depth_ == 0 || work_clock_.elapsed() < progress_delay_) return false;
  QProgressBar* bar = window_.ProgressBar1;
  const std::int64_t value = total > 0 ? std::clamp<std::int64_t>(done, 0, total) * kProgressRange / total : 0;
  bar->setValue(static_cast<int>(value));
  if (bar->isHidden()) {
    bar->setRange(0, kProgressRange);
    bar->setFormat(work_stoppable_ ? QStringLiteral("%p% (Esc cancels)") : QStringLiteral("%p%"));
    bar->show();
  }
  // The window paints meanwhile; the guard keeps the user's input from its controls.
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return work_stoppable_ && guard_->StopAsked();
}

void QtToolkit::EndWork() {
  if (work_depth_ == 0 || --work_depth_ > 0) return;
  guard_->Stop();
  window_.ProgressBar1->hide();
  window_.ProgressBar1->reset();
}

void QtToolkit::ShowAbout() { window_.ShowAbout(); }

void QtToolkit::ListAddColumn(std::string_view caption, int width_twips) {
  EventListModel& model = window_.listModel();
  model.AddColumn(ToDisplay(caption));
  const int column = model.ProgramColumns() - 1;
  QTableView* view = window_.ListView1;
  const int width = width_twips > 0 ? width_twips * view->logicalDpiX() / kTwipsPerInch
                                    : view->horizontalHeader()->defaultSectionSize();
  view->setColumnWidth(column, width);
}

void QtToolkit::ListReset(std::int64_t rows) { window_.listModel().Reset(rows); }

void QtToolkit::ListItemsChanged(std::int64_t first, std::int64_t last) {
  window_.listModel().RowsChanged(first - 1, last - 1);
}

void QtToolkit::ListBeginCellEdit(std::int64_t item, int column, std::string_view text) {
  EventListModel& model = window_.listModel();
  if (item < 1 || item > model.Count() || column < 0 || column >= model.columnCount()) throw RunError(kIndexOutOfRange);
  const QModelIndex cell = model.index(static_cast<int>(item - 1), column);
  QTableView* view = window_.ListView1;
  window_.cellEditor().SetEditText(ToDisplay(text));
  view->setCurrentIndex(cell);
  view->scrollTo(cell);
  view->edit(cell);
}

std::int64_t QtToolkit::MediaFrameHandle() { return frame_handle_; }

void QtToolkit::MediaFrameSize(int& width, int& height) {
  width = window_.MediaFrame->width();
  height = window_.MediaFrame->height();
}

}  // namespace quavert
