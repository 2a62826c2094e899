#include "shell/save_question.h"

#include <QMessageBox>

namespace quavert {

void SetUpSaveQuestion(QMessageBox& box, const QString& name) {
  box.setWindowTitle(QStringLiteral("Quavert"));
  box.setTextFormat(Qt::PlainText);
  box.setText(QStringLiteral("Save changes to %1?").arg(name));
  box.setIcon(QMessageBox::Warning);
  box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
}

SaveChoice AskToSaveChanges(QWidget* parent, const QString& name) {
  QMessageBox box(parent);
  SetUpSaveQuestion(box, name);
  const int answer = box.exec();
  if (answer == QMessageBox::Save) return SaveChoice::kSave;
  if (answer == QMessageBox::Discard) return SaveChoice::kDiscard;
  return SaveChoice::kCancel;
}

}  // namespace quavert
