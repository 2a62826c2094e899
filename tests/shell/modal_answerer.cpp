#include "modal_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace quavert::testing {

ModalAnswerer::ModalAnswerer() {
  connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::Poll);
  timer_.start(5);
}

QStringList ModalAnswerer::MessageTexts() const {
  QStringList texts;
  for (const ShownMessage& message : Messages) texts << message.Text;
  return texts;
}

void ModalAnswerer::Clear() {
  Messages.clear();
  Dialogs.clear();
  Others.clear();
}

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible()) return;
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    if (WhileShown) {
      auto action = std::move(WhileShown);
      WhileShown = nullptr;
      action();
    }
    ShownMessage shown{box->text(), box->windowTitle(), box->icon(), static_cast<int>(box->standardButtons()), 0};
    int answer = QMessageBox::Ok;
    if (box->standardButtons() & QMessageBox::Yes) {
      answer = QMessageBox::No;
      if (!Buttons.empty()) {
        answer = Buttons.front();
        Buttons.pop_front();
      }
    }
    shown.Answered = answer;
    Messages.push_back(shown);
    box->button(static_cast<QMessageBox::StandardButton>(answer))->click();
    return;
  }
  if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
    Dialogs.push_back({dialog->windowTitle(), dialog->acceptMode() == QFileDialog::AcceptSave,
                       !dialog->testOption(QFileDialog::DontConfirmOverwrite), dialog->fileMode(),
                       dialog->nameFilters(), dialog->directory().absolutePath()});
    QString path;
    if (!Paths.empty()) {
      path = Paths.front();
      Paths.pop_front();
    }
    if (path.isEmpty()) {
      dialog->reject();
    } else {
      dialog->selectFile(path);
      static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, reached through its base
    }
    return;
  }
  if (!CloseOthers) return;
  Others << QString::fromLatin1(modal->metaObject()->className());
  modal->close();
}

}  // namespace quavert::testing
