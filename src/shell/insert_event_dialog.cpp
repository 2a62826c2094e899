#include "shell/insert_event_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "shell/qt_text.h"

namespace quavert {
namespace {

struct KindEntry {
  EventKind Kind;
  const char* Text;
};

constexpr KindEntry kKinds[] = {
    {EventKind::kNote, "Note"},
    {EventKind::kController, "Controller"},
    {EventKind::kProgram, "Program Change"},
    {EventKind::kPitchBend, "Pitch Bend"},
    {EventKind::kPressure, "Channel Pressure"},
    {EventKind::kRawBytes, "Bytes in hex"},
};

QLineEdit* Field(QWidget* parent, const QString& text, const QString& hint) {
  auto* box = new QLineEdit(text, parent);
  box->setPlaceholderText(hint);
  return box;
}

}  // namespace

InsertEventDialog::InsertEventDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Insert Event"));
  auto* form = new QFormLayout(this);
  Kind = new QComboBox(this);
  for (const KindEntry& entry : kKinds) Kind->addItem(QString::fromLatin1(entry.Text), static_cast<int>(entry.Kind));
  Channel = Field(this, QStringLiteral("1"), QStringLiteral("1 to 16"));
  Key = Field(this, QStringLiteral("60"), QStringLiteral("0 to 127, 60 is middle C"));
  Velocity = Field(this, QStringLiteral("100"), QStringLiteral("1 to 127"));
  Length = Field(this, QStringLiteral("96"), QStringLiteral("ticks from the Note On to its Note Off"));
  Number = Field(this, QStringLiteral("7"), QStringLiteral("0 to 127"));
  Value = Field(this, QStringLiteral("100"), QString());
  Hex = Field(this, QString(), QStringLiteral("FF 01 04 74 65 78 74"));
  Ticks = Field(this, QStringLiteral("0"), QStringLiteral("after the selected row"));
  number_label_ = new QLabel(this);
  value_label_ = new QLabel(this);
  form->addRow(QStringLiteral("Kind:"), Kind);
  form->addRow(QStringLiteral("Channel:"), Channel);
  form->addRow(QStringLiteral("Key:"), Key);
  form->addRow(QStringLiteral("Velocity:"), Velocity);
  form->addRow(QStringLiteral("Length (ticks):"), Length);
  form->addRow(number_label_, Number);
  form->addRow(value_label_, Value);
  form->addRow(QStringLiteral("Bytes (hex):"), Hex);
  form->addRow(QStringLiteral("Time offset (ticks):"), Ticks);
  Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(Buttons);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(Kind, &QComboBox::currentIndexChanged, this, [this] { ShowFields(); });
  ShowFields();
}

void InsertEventDialog::SetKind(EventKind kind) { Kind->setCurrentIndex(Kind->findData(static_cast<int>(kind))); }

EventForm InsertEventDialog::Form() const {
  EventForm form;
  form.Kind = static_cast<EventKind>(Kind->currentData().toInt());
  form.Channel = FromUser(Channel->text());
  form.Key = FromUser(Key->text());
  form.Velocity = FromUser(Velocity->text());
  form.Length = FromUser(Length->text());
  form.Number = FromUser(Number->text());
  form.Value = FromUser(Value->text());
  form.Hex = FromUser(Hex->text());
  form.Ticks = FromUser(Ticks->text());
  return form;
}

void InsertEventDialog::ShowFields() {
  const auto kind = static_cast<EventKind>(Kind->currentData().toInt());
  auto* layout = static_cast<QFormLayout*>(this->layout());
  const bool note = kind == EventKind::kNote;
  const bool number = kind == EventKind::kController || kind == EventKind::kProgram;
  const bool value = kind == EventKind::kController || kind == EventKind::kPitchBend || kind == EventKind::kPressure;
  const bool raw = kind == EventKind::kRawBytes;
  for (auto [field, shown] : {std::pair{Channel, !raw}, std::pair{Key, note}, std::pair{Velocity, note},
                              std::pair{Length, note}, std::pair{Number, number}, std::pair{Value, value},
                              std::pair{Hex, raw}})
    layout->setRowVisible(field, shown);
  number_label_->setText(kind == EventKind::kProgram ? QStringLiteral("Program:") : QStringLiteral("Controller:"));
  value_label_->setText(kind == EventKind::kPitchBend  ? QStringLiteral("Bend:")
                        : kind == EventKind::kPressure ? QStringLiteral("Pressure:")
                                                       : QStringLiteral("Value:"));
  Value->setPlaceholderText(kind == EventKind::kPitchBend ? QStringLiteral("-8192 to 8191, 0 is none")
                                                          : QStringLiteral("0 to 127"));
  if (kind == EventKind::kPitchBend && Value->text() == QLatin1String("100")) Value->setText(QStringLiteral("0"));
  adjustSize();
}

}  // namespace quavert
