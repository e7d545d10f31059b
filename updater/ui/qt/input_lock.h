// InputLock: while engaged, the dialog it guards takes no input at all. Clicks, keys (Enter,
// Escape, mnemonics, shortcuts), files dragged in, the context menu and the window's close command
// aimed at the dialog or its controls are dropped, while painting goes on. A dropped click or key
// leaves the keyboard focus, and with it the default button, where it was when the lock engaged.
// Windows the dialog opens itself, such as a message box, stay usable.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace quillmar::ui {

class InputLock : public QObject {
 public:
  explicit InputLock(QWidget& guarded);
  ~InputLock() override;

  // Starts dropping input and shows the busy cursor over the dialog.
  void engage();
  // Lets input through again.
  void release();
  bool engaged() const { return engaged_; }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  bool guards(QObject* receiver) const;
  void keepFocus();

  QWidget& guarded_;
  QPointer<QWidget> focus_;  // the dialog's focus control when the lock engaged
  bool engaged_ = false;
};

}  // namespace quillmar::ui
