#pragma once

#include <QTreeWidget>
#include <vector>

#include "common/text_encoding.h"
#include "lint/problem.h"

namespace quavert {

/// The problems the lint finds in the file opened, one line each: its offset, track, severity,
/// code and message. Activating a line (a double click, Enter) asks for its place to be shown.
class ProblemsPane : public QTreeWidget {
  Q_OBJECT

 public:
  explicit ProblemsPane(QWidget* parent = nullptr);

  /// Shows `problems`, their messages read through `encoding`; `note` instead when there are none.
  void SetProblems(std::vector<Problem> problems, TextEncoding encoding, const QString& note);
  const std::vector<Problem>& Problems() const { return problems_; }
  /// Shows the messages through another encoding.
  void SetEncoding(TextEncoding encoding);
  /// A few lines high: the list keeps most of the room.
  QSize sizeHint() const override;

 signals:
  /// A problem's line was activated: its index in Problems().
  void problemActivated(qint64 index);

 private:
  void Fill();

  std::vector<Problem> problems_;
  TextEncoding encoding_ = TextEncoding::kAutomatic;
  QString note_;
};

}  // namespace quavert
