// The Edit menu: Undo and Redo of every change to the list and the working copy, Delete of the
// selected rows and Insert Event... after the selected row.
#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "commands/guard.h"
#include "commands/row_commands.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "commands/undo_commands.h"
#include "editing/track_rows.h"
#include "shell/event_list_model.h"
#include "shell/frm_main.h"
#include "shell/insert_event_dialog.h"
#include "shell/qt_text.h"

namespace quavert {

void frmmain::BuildEditMenu() {
  QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
  mnuUndo = edit->addAction(QStringLiteral("Undo"));
  mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  mnuRedo = edit->addAction(QStringLiteral("Redo"));
  mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addSeparator();
  mnuDelete = edit->addAction(QStringLiteral("Delete"));
  mnuDelete->setShortcut(QKeySequence(Qt::Key_Delete));
  mnuInsert = edit->addAction(QStringLiteral("Insert Event..."));
  mnuInsert->setShortcut(QKeySequence(Qt::Key_Insert));
  for (QAction* action : {mnuUndo, mnuRedo, mnuDelete, mnuInsert}) action->setEnabled(false);
}

void frmmain::ConnectEditMenu() {
  connect(mnuUndo, &QAction::triggered, this, [this] { UndoOrRedo(true); });
  connect(mnuRedo, &QAction::triggered, this, [this] { UndoOrRedo(false); });
  connect(mnuDelete, &QAction::triggered, this, &frmmain::DeleteSelectedRows);
  connect(mnuInsert, &QAction::triggered, this, &frmmain::InsertEvent);
  connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmmain::UpdateEditMenu);
  connect(ListView1->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmmain::UpdateEditMenu);
}

void frmmain::UpdateEditMenu() {
  const UndoHistory& history = session_.undo;
  const bool idle = !ended_;
  mnuUndo->setEnabled(idle && history.CanUndo());
  mnuRedo->setEnabled(idle && history.CanRedo());
  mnuUndo->setText(history.CanUndo() ? QStringLiteral("Undo ") + ToDisplay(history.UndoName()) : QStringLiteral("Undo"));
  mnuRedo->setText(history.CanRedo() ? QStringLiteral("Redo ") + ToDisplay(history.RedoName()) : QStringLiteral("Redo"));
  // Rows are deleted and inserted in the list that "Save Track" writes: only while it may.
  const bool listed = idle && Command5->isEnabled() && model_->Count() > 0 &&
                      model_->Count() == session_.buffers.Rows.size();
  mnuDelete->setEnabled(listed && ListView1->selectionModel()->hasSelection());
  mnuInsert->setEnabled(listed && ListView1->currentIndex().isValid());
}

void frmmain::UndoOrRedo(bool undo) {
  if (!(undo ? mnuUndo : mnuRedo)->isEnabled()) return;
  const int row = ListView1->currentIndex().row();
  UndoOutcome outcome;
  Command([&] { outcome = undo ? UndoCommand(session_) : RedoCommand(session_); });
  // A repair taken back or made again changes what the track decodes to.
  if (outcome.Done && outcome.DecodeAgain) Command([this] { Combo1Click(session_, session_.file.CurrentTrack - 1); });
  if (outcome.RowsChanged && row >= 0 && model_->Count() > 0)
    ListView1->setCurrentIndex(model_->index(std::min<int>(row, static_cast<int>(model_->Count()) - 1), 0));
}

void frmmain::DeleteSelectedRows() {
  if (!mnuDelete->isEnabled() || running_command_ || confirming_ || delegate_->OpenEditor() != nullptr) return;
  std::vector<std::int64_t> items;
  for (const QModelIndex& index : ListView1->selectionModel()->selectedRows()) items.push_back(index.row() + 1);
  if (items.empty()) return;
  std::sort(items.begin(), items.end());
  bool deleted = false;
  Command([&] { deleted = DeleteItems(session_, items); });
  if (deleted && model_->Count() > 0)
    ListView1->setCurrentIndex(model_->index(std::min<int>(static_cast<int>(items.front()) - 1, static_cast<int>(model_->Count()) - 1), 0));
}

void frmmain::InsertEvent() {
  if (!mnuInsert->isEnabled() || running_command_ || confirming_ || delegate_->OpenEditor() != nullptr) return;
  const int row = ListView1->currentIndex().row();
  InsertEventDialog dialog(this);
  // No command runs while the dialog is up; the status poll goes on.
  confirming_ = true;
  bool again = true;
  while (again && dialog.exec() == QDialog::Accepted) {
    const TrackRows& rows = session_.buffers.Rows;
    if (row < 0 || row >= rows.size()) break;
    const FormResult form =
        ReadEventForm(dialog.Form(), std::max<std::int32_t>(rows.Record(row).Delta, 0), TicksBetween(rows, row, rows.size()));
    if (!form.Request) {
      RunGuarded(session_, [&] { session_.ui.MessageBox(form.Message); });
      continue;  // the dialog comes back with what was typed
    }
    confirming_ = false;
    bool inserted = false;
    const EventRequest& event = *form.Request;
    Command([&] {
      inserted = event.Hex.empty() ? InsertNote(session_, row + 1, event.Ticks, event.Channel, event.Key, event.Velocity, event.Length)
                                   : InsertItem(session_, row + 1, event.Ticks, event.Hex);
    });
    confirming_ = true;
    again = !inserted && !ended_;
    if (inserted && row + 1 < model_->Count()) ListView1->setCurrentIndex(model_->index(row + 1, 0));
  }
  confirming_ = false;
  UpdateEditMenu();
  if (close_pending_) QTimer::singleShot(0, this, [this] { close(); });
}

}  // namespace quavert
