#include "shell/media_hook.h"

#include <QCoreApplication>
#include <memory>

namespace quavert {

void PostMediaNotify(QObject* frame) {
  if (frame == nullptr) return;
  // The event loop takes ownership of a posted event.
  QCoreApplication::postEvent(frame, std::make_unique<QEvent>(kMediaNotifyEvent).release());
}

MediaFrameHook::MediaFrameHook(QObject* parent) : QObject(parent) {}

void MediaFrameHook::Install(QObject* frame) {
  Unhook();
  if (frame == nullptr) return;
  frame_ = frame;
  frame->installEventFilter(this);
}

void MediaFrameHook::Unhook() {
  if (frame_) frame_->removeEventFilter(this);
  frame_.clear();
}

bool MediaFrameHook::MediaFrameProc(QEvent* event) { return event->type() == kMediaNotifyEvent; }

bool MediaFrameHook::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_ && MediaFrameProc(event)) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace quavert
