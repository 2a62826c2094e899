#include "shell/work_guard.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWidget>

namespace quavert {
namespace {

// The user's input: what would start a command, move the focus or change a control.
bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

// Scrolling through what the window shows starts no command and changes nothing: the wheel over
// a scrolled view, and the mouse on a scroll bar.
bool IsScrolling(QWidget& widget, QEvent::Type type) {
  if (qobject_cast<QScrollBar*>(&widget) != nullptr)
    return type == QEvent::Wheel || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseMove;
  const auto* area = qobject_cast<QAbstractScrollArea*>(widget.parentWidget());
  return type == QEvent::Wheel && area != nullptr && area->viewport() == &widget;
}

}  // namespace

WorkGuard::WorkGuard(QWidget& window) : window_(window) {}

WorkGuard::~WorkGuard() { Stop(); }

void WorkGuard::Start() {
  stop_asked_ = false;
  if (watching_) return;
  watching_ = true;
  qApp->installEventFilter(this);
}

void WorkGuard::Stop() {
  if (!watching_) return;
  watching_ = false;
  qApp->removeEventFilter(this);
}

bool WorkGuard::eventFilter(QObject* watched, QEvent* event) {
  if (!IsInput(event->type())) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  // Other windows (a message box the work shows) take their input as ever.
  if (widget == nullptr || widget->window() != &window_ || IsScrolling(*widget, event->type())) return false;
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
    stop_asked_ = true;
  return true;
}

}  // namespace quavert
