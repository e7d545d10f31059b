// Dropping the guarded dialog's input while an operation runs.
#include "ui/qt/input_lock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace quillmar::ui {
namespace {

// The events through which a user acts on a window.
bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Close:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
    case QEvent::DragEnter:  // a dropped file would change the image shown, not the one in use
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

}  // namespace

InputLock::InputLock(QWidget& guarded) : guarded_(guarded) {}

InputLock::~InputLock() {
  release();
}

void InputLock::engage() {
  if (engaged_)
    return;
  engaged_ = true;
  focus_ = guarded_.focusWidget();
  QCoreApplication::instance()->installEventFilter(this);
  guarded_.setCursor(Qt::BusyCursor);
}

void InputLock::release() {
  if (!engaged_)
    return;
  engaged_ = false;
  focus_ = nullptr;
  QCoreApplication::instance()->removeEventFilter(this);
  guarded_.unsetCursor();
}

bool InputLock::eventFilter(QObject* receiver, QEvent* event) {
  if (!isUserInput(event->type()) || !guards(receiver))
    return false;
  event->ignore();  // a close event left accepted would still close the window
  keepFocus();
  return true;
}

// True for the guarded window, its native window, the controls inside it and the actions it
// owns (shortcuts); false for other windows, even those it is parent of. The window system's
// input reaches the native window first: dropped there, a press never reaches the
// application's dispatch to a control, which gives the control the focus before any filter
// sees the event.
bool InputLock::guards(QObject* receiver) const {
  if (receiver == static_cast<QObject*>(guarded_.windowHandle()))
    return true;
  if (auto* widget = qobject_cast<QWidget*>(receiver))
    return widget->window() == &guarded_;
  return receiver->parent() == &guarded_;
}

// Input sent straight to a control has already moved the focus to it when it is dropped; the
// focus goes back, and a push button that took the default on gaining it gives it back.
void InputLock::keepFocus() {
  if (focus_ != nullptr && guarded_.focusWidget() != focus_)
    focus_->setFocus(Qt::OtherFocusReason);
}

}  // namespace quillmar::ui
