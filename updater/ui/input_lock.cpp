// Dropping the guarded dialog's input while an operation runs.
#include "updater/ui/input_lock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

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
  QCoreApplication::instance()->installEventFilter(this);
  guarded_.setCursor(Qt::BusyCursor);
}

void InputLock::release() {
  if (!engaged_)
    return;
  engaged_ = false;
  QCoreApplication::instance()->removeEventFilter(this);
  guarded_.unsetCursor();
}

bool InputLock::eventFilter(QObject* receiver, QEvent* event) {
  if (!isUserInput(event->type()) || !guards(receiver))
    return false;
  event->ignore();  // a close event left accepted would still close the window
  return true;
}

// True for the guarded window, the controls inside it and the actions it owns (shortcuts);
// false for other windows, even those it is parent of.
bool InputLock::guards(QObject* receiver) const {
  if (auto* widget = qobject_cast<QWidget*>(receiver))
    return widget->window() == &guarded_;
  return receiver->parent() == &guarded_;
}

}  // namespace quillmar::ui
