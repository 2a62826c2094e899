#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>

namespace quavert {

/// The event the window posts to MediaFrame when the media service reports that a command it
/// was asked to notify about has completed.
inline constexpr QEvent::Type kMediaNotifyEvent = static_cast<QEvent::Type>(QEvent::User + 953);

/// Posts one completion notification to `frame`. Safe to call from any thread.
void PostMediaNotify(QObject* frame);

/// The hook on MediaFrame: swallows the media service's completion notifications and lets every
/// other event through to the frame.
class MediaFrameHook : public QObject {
  Q_OBJECT

 public:
  explicit MediaFrameHook(QObject* parent = nullptr);

  /// Installs the hook on `frame`; a hook already installed elsewhere is removed first.
  void Install(QObject* frame);
  /// Removes the hook from the frame it was installed on; nothing happens when there is none.
  void Unhook();
  bool IsInstalled() const { return !frame_.isNull(); }

  /// True (swallowed) for a completion notification, false (passed on) for anything else.
  static bool MediaFrameProc(QEvent* event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QObject> frame_;
};

}  // namespace quavert
