#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace quavert {

/// The in-place editor of ListView1. It opens with the text the program gives and hands what is
/// typed to the model's setData at the end of each edit (Return, or leaving the editor; Escape
/// cancels): with Qt::EditRole, or, ended with Tab or Shift+Tab, with the model's roles for them.
class CellEditDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CellEditDelegate(QObject* parent = nullptr);

  /// The text the next editor shows.
  void SetEditText(const QString& text) { edit_text_ = text; }

  /// The editor open now, or null.
  QWidget* OpenEditor() const { return editor_; }
  /// Closes the open editor without handing its text to anyone.
  void CancelEdit();

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

 protected:
  /// Tab and Shift+Tab end the edit as Return does and tell where to go on; the view does not
  /// open the next editor itself, since only the program knows which cells it lets the user change.
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  QString edit_text_;
  mutable int next_ = 0;
  mutable QPointer<QWidget> editor_;
};

}  // namespace quavert
