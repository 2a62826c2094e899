#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace quavert::testing {

/// A message box as the user saw it.
struct ShownMessage {
  QString Text;
  QString Title;
  int Icon = 0;        ///< QMessageBox::Icon
  int Buttons = 0;     ///< QMessageBox::StandardButtons
  int Answered = 0;    ///< the button the answerer pressed
};

/// A file dialog as the user saw it.
struct ShownDialog {
  QString Title;
  bool Save = false;
  bool ConfirmsOverwrite = false;
  int FileMode = 0;
  QStringList Filters;
  QString Directory;
};

/// Plays the user for modal windows: every few milliseconds it looks for the active modal
/// window, notes what it shows, and answers it: message boxes with the next scripted button
/// (OK, or No for a question when none is left), file dialogs with the next scripted path
/// (cancelled when none is left or the path is empty). Anything else modal is closed and noted.
class ModalAnswerer : public QObject {
  Q_OBJECT

 public:
  ModalAnswerer();

  std::deque<int> Buttons;       ///< QMessageBox::StandardButton for the next questions
  std::deque<QString> Paths;     ///< answers for the next file dialogs
  /// Runs while a message box is up, before it is answered (to act "during" a command).
  std::function<void()> WhileShown;
  /// Whether other modal windows are closed (and noted) or left to the test.
  bool CloseOthers = true;

  std::vector<ShownMessage> Messages;
  std::vector<ShownDialog> Dialogs;
  QStringList Others;  ///< class names of other modal windows that had to be closed

  QStringList MessageTexts() const;
  void Clear();

 private:
  void Poll();
  QTimer timer_;
};

}  // namespace quavert::testing
