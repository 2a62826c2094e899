// What the window does so that nothing is lost without a word: the record of unsaved changes,
// the question before they would go, the title's "*", and the conveniences around opening and
// editing (recent files, the track chooser's names, the File Size box, keys that edit cells).
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "commands/cell_edit.h"
#include "commands/guard.h"
#include "commands/load_driver.h"
#include "commands/save_as.h"
#include "commands/save_track.h"
#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/number_text.h"
#include "shell/content_hash.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/qt_text.h"
#include "shell/recent_files.h"
#include "shell/save_question.h"
#include "shell/track_names.h"

namespace quavert {
namespace {

// The list's columns the user may change: Notes, Volume and Length.
constexpr int kFirstEditableColumn = 1;
constexpr int kLastEditableColumn = 3;
constexpr int kLeftButton = 1;

}  // namespace

void frmmain::SetCaption(const QString& caption) {
  caption_ = caption;
  ShowTitle();
}

void frmmain::ShowTitle() { setWindowTitle(modified_ ? QLatin1Char('*') + caption_ : caption_); }

bool frmmain::ListChanged() const {
  const bool listed = Command5->isEnabled();
  return unsaved_.ListChanged(listed, listed ? session_.buffers.Rows.Digest() : 0);
}

void frmmain::NoteChanges(Change change, bool loaded) {
  const std::optional<std::uint64_t> before = work_hash_;
  work_hash_ = session_.file.WorkCopyName.empty() ? std::nullopt : HashFile(session_.WorkCopyPath());
  unsaved_.WorkCopyIs(work_hash_);
  const std::string& opened = session_.file.LastOpenedPath;
  // An open that was stopped gave the file before back, with what it had unsaved.
  if (loaded && change != Change::kOpenStopped) {
    // A load that failed left nothing worth keeping.
    unsaved_.Loaded(session_.file.FileLoaded ? HashMidiData(opened) : std::nullopt, NameOf(opened));
    if (session_.file.FileLoaded) recent_ = WithRecent(recent_, opened);
  }
  // "Save Midi..." wrote the working copy when the file chosen now holds it.
  if (const std::string saved = toolkit_.TakeSaveChoice(); !saved.empty() && work_hash_ && HashMidiData(saved) == work_hash_)
    unsaved_.SavedAs(NameOf(saved));

  const bool listed = Command5->isEnabled();
  const std::uint64_t rows = listed ? session_.buffers.Rows.Digest() : 0;
  if (listed && change == Change::kListBuilt) unsaved_.ListMatches(rows);
  if (listed && change == Change::kTrackSaved && work_hash_ != before) unsaved_.ListMatches(rows);
  if (listed && change == Change::kFrameSaved && work_hash_ != before) unsaved_.WorkChangedUnderList(before, rows);
  modified_ = unsaved_.WorkCopyChanged() || unsaved_.ListChanged(listed, rows);
  ShowTitle();

  if (!loaded && work_hash_ == before) return;
  ShowTrackNames();
  // The File Size box follows the working copy through every change to it.
  if (session_.file.FileLoaded && !Text1->text().isEmpty()) {
    const FileStamp stamp = StampOf(session_.WorkCopyPath());
    const std::string size = PlainNumber(stamp.Size);
    if (stamp.Exists && toolkit_.GetText(Control::Text1) != size) toolkit_.SetText(Control::Text1, size);
  }
}

void frmmain::ShowTrackNames() {
  if (Combo1->count() == 0 || session_.file.WorkCopyName.empty()) return;
  std::vector<std::string> names;
  try {
    BinaryFile work(session_.WorkCopyPath(), BinaryFile::Mode::kRead);
    names = ReadTrackNames(work, session_.tracks);
  } catch (const std::exception&) {
    return;  // the chooser keeps what it shows
  }
  for (int item = 0; item < Combo1->count(); ++item) {
    const auto index = static_cast<std::size_t>(item);
    Combo1->setItemText(item, ToDisplay(TrackChoiceText(item + 1, index < names.size() ? names[index] : "")));
  }
}

bool frmmain::ConfirmLoss(bool whole_file) {
  if (ended_ || running_command_ || confirming_) return false;
  bool list_changed = false;
  RunGuarded(session_, [&] { list_changed = ListChanged(); });
  if (!list_changed && !(whole_file && unsaved_.WorkCopyChanged())) return true;

  confirming_ = true;
  const SaveChoice choice = AskToSaveChanges(this, QFile::decodeName(unsaved_.Name().c_str()));
  bool go_on = choice == SaveChoice::kDiscard;
  if (choice == SaveChoice::kSave && !ended_) {
    if (list_changed) Command([this] { SaveTrackCommand(session_); }, true, Change::kTrackSaved);
    if (whole_file && unsaved_.WorkCopyChanged()) Command([this] { SaveAs(session_); });
    // A save that failed or was cancelled keeps the window where it is.
    RunGuarded(session_, [&] { go_on = !ListChanged() && !(whole_file && unsaved_.WorkCopyChanged()); });
  }
  confirming_ = false;
  if (close_pending_) QTimer::singleShot(0, this, [this] { close(); });
  return go_on;
}

void frmmain::OpenFile(const std::string& path) {
  if (ended_ || running_command_ || confirming_ || !ConfirmLoss(true)) return;
  // The user may stop the open with Esc: the file before comes back.
  KeepListPlace([&] {
    CommandTelling([&] { return OpenMidiFile(session_, path) ? Change::kOther : Change::kOpenStopped; });
  });
}

void frmmain::FillRecentMenu() {
  mnuRecent->clear();
  int number = 0;
  for (const std::string& path : recent_) {
    QString shown = QFile::decodeName(path.c_str());
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = mnuRecent->addAction(QStringLiteral("&%1 %2").arg(++number).arg(shown));
    // A file that is gone is shown greyed, so that the list keeps its order.
    action->setEnabled(FileExists(path));
    connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
  }
  if (recent_.empty()) mnuRecent->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

void frmmain::EditCurrentCell() {
  const QModelIndex current = ListView1->currentIndex();
  if (!current.isValid() || delegate_->OpenEditor() != nullptr) return;
  const int row = current.row();
  int column = current.column();
  if (column < kFirstEditableColumn || column > kLastEditableColumn || model_->Blank(row, column)) {
    column = kFirstEditableColumn;
    while (column <= kLastEditableColumn && model_->Blank(row, column)) ++column;
    if (column > kLastEditableColumn) return;
  }
  Command([&] { CellClick(session_, row + 1, column, kLeftButton, true); });
}

void frmmain::EditNextCell(std::int64_t item, int column, int step) {
  std::int64_t row = item - 1;
  const std::int64_t rows = model_->Count();
  while (!ended_) {
    column += step;
    if (column > kLastEditableColumn) {
      column = kFirstEditableColumn;
      ++row;
    } else if (column < kFirstEditableColumn) {
      column = kLastEditableColumn;
      --row;
    }
    if (row < 0 || row >= rows) return;
    if (model_->Blank(row, column)) continue;
    Command([&] { CellClick(session_, row + 1, column, kLeftButton, true); });
    if (delegate_->OpenEditor() != nullptr || running_command_) return;
  }
}

void frmmain::SyncToolbarWithMenus() {
  // Each button does what its menu item does, and so is enabled exactly when that item is.
  const std::pair<QAction*, int> pairs[] = {{mnuOpen, 1}, {mnuSave, 2}, {mnuPlay, 4}, {mnuPause, 5}, {mnuStop, 6}};
  for (const auto& [menu, position] : pairs) {
    QAction* button = Toolbar2Buttons[position];
    button->setEnabled(menu->isEnabled());
    connect(menu, &QAction::changed, button, [menu, button] { button->setEnabled(menu->isEnabled()); });
  }
}

}  // namespace quavert
