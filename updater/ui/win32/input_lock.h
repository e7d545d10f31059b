// InputLock: while engaged, the dialog it guards takes no input. The window is disabled, so the
// system gives it no clicks and no activation. That alone is not enough: a disabled dialog keeps
// the keyboard focus on its control, its keys still reach the dialog box's message loop, and the
// dialog manager acts on them there (Tab moves the default button, an arrow key checks the next
// radio button). So the lock also drops every key, mouse message and posted button click aimed
// at the dialog or its controls before the dialog manager sees it, leaving the focus, the default
// button and the radio buttons as they were. Message boxes the dialog opens stay usable.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quillmar::ui {

class InputLock {
 public:
  InputLock() = default;
  ~InputLock() { release(); }
  InputLock(const InputLock&) = delete;
  InputLock& operator=(const InputLock&) = delete;

  // Starts refusing the input of `dialog`, a dialog box run by this thread.
  void engage(HWND dialog);
  // Lets input through again and enables the dialog.
  void release();

 private:
  static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam);

  HWND dialog_ = nullptr;
  HHOOK hook_ = nullptr;
};

}  // namespace quillmar::ui
