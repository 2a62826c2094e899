#include "shell/cell_edit_delegate.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

#include "shell/event_list_model.h"

namespace quavert {

CellEditDelegate::CellEditDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* CellEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);  // owned by the view, which deletes it when the edit ends
  editor->setFrame(false);
  editor_ = editor;
  return editor;
}

void CellEditDelegate::CancelEdit() {
  if (editor_) emit closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
}

bool CellEditDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor != nullptr && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      next_ = key == Qt::Key_Tab ? 1 : -1;
      emit commitData(editor);
      next_ = 0;
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

void CellEditDelegate::setEditorData(QWidget* editor, const QModelIndex&) const {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setText(edit_text_);
    line->selectAll();
  }
}

void CellEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  const auto* line = qobject_cast<const QLineEdit*>(editor);
  if (line == nullptr || model == nullptr) return;
  const int step = std::exchange(next_, 0);
  model->setData(index, line->text(),
                 step > 0 ? EventListModel::kEditThenNextRole
                          : step < 0 ? EventListModel::kEditThenPreviousRole : static_cast<int>(Qt::EditRole));
}

}  // namespace quavert
