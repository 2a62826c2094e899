#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <cstdint>
#include <functional>
#include <string>

namespace quavert {

/// The end of one in-place edit: the 1-based item, the column, the text the editor opened with
/// and the text it holds when the edit ends (both as bytes).
struct CellEdit {
  std::int64_t Item = 0;
  int Column = 0;
  std::string OldText;
  std::string NewText;
  /// The edit ended with Tab (1) or Shift+Tab (-1): the next or the previous editable cell is
  /// edited next; 0 otherwise.
  int Next = 0;
  bool operator==(const CellEdit&) const = default;
};

/// The in-place editor of ListView1. It opens with the text the program gives, never writes the
/// cell, and hands the end of each edit (Return, or leaving the editor; Escape cancels) to the
/// program after the editor has closed, so that a message shown about it finds the list at rest.
class CellEditDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using EditDone = std::function<void(const CellEdit&)>;

  explicit CellEditDelegate(QObject* parent = nullptr);

  /// The text the next editor shows.
  void SetEditText(const QString& text) { edit_text_ = text; }
  /// Who hears of each finished edit; an empty one stops the notifications (used at shutdown,
  /// when an editor still open would otherwise report during teardown).
  void SetEditDone(EditDone done) { done_ = std::move(done); }

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
  EditDone done_;
  mutable int next_ = 0;
  mutable QPointer<QWidget> editor_;
};

}  // namespace quavert
