#pragma once

#include <QDialog>

#include "shell/event_form.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace quavert {

/// Edit > Insert Event...: the kind of event, its channel and values (or its bytes in hex), and
/// the time offset from the selected row. The dialog only gathers the text typed; what it means
/// is read by ReadEventForm, so that a wrong value is refused with the range it may take.
class InsertEventDialog : public QDialog {
  Q_OBJECT

 public:
  explicit InsertEventDialog(QWidget* parent = nullptr);

  /// What the fields hold now.
  EventForm Form() const;
  /// Shows the fields that `kind` takes, as choosing it in Kind does.
  void SetKind(EventKind kind);

  QComboBox* Kind = nullptr;
  QLineEdit* Channel = nullptr;
  QLineEdit* Key = nullptr;
  QLineEdit* Velocity = nullptr;
  QLineEdit* Length = nullptr;
  QLineEdit* Number = nullptr;
  QLineEdit* Value = nullptr;
  QLineEdit* Hex = nullptr;
  QLineEdit* Ticks = nullptr;
  QDialogButtonBox* Buttons = nullptr;

 private:
  void ShowFields();
  QLabel* number_label_ = nullptr;
  QLabel* value_label_ = nullptr;
};

}  // namespace quavert
