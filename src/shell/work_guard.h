#pragma once

#include <QObject>

class QWidget;

namespace quavert {

/// Watches the application while long work runs: input meant for the main window never reaches
/// its controls, so no other command starts, and Esc there is taken as a request to stop. Only
/// scrolling gets through: the wheel over a list or text, and the mouse on a scroll bar.
/// Painting, timers and dialogs of their own (a message box the work shows) go on as ever.
class WorkGuard : public QObject {
  Q_OBJECT

 public:
  explicit WorkGuard(QWidget& window);
  ~WorkGuard() override;
  WorkGuard(const WorkGuard&) = delete;
  WorkGuard& operator=(const WorkGuard&) = delete;

  /// Starts watching, with no request to stop yet.
  void Start();
  /// Stops watching.
  void Stop();
  /// Esc was pressed in the window since Start.
  bool StopAsked() const { return stop_asked_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  bool watching_ = false;
  bool stop_asked_ = false;
};

}  // namespace quavert
