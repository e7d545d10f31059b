// Refusing the guarded dialog's input while an operation runs.
#include "ui/win32/input_lock.h"

namespace quillmar::ui {
namespace {

// The window property that marks a locked dialog; the message filter finds it there, so it needs
// no state of its own.
constexpr const char* kLockedProperty = "QUILLmar.InputLocked";

// Keys, mouse messages and button clicks: what a user, or a tool acting for one, gives a dialog.
bool isInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == BM_CLICK;
}

}  // namespace

void InputLock::engage(HWND dialog) {
  if (dialog_ != nullptr) {
    return;
  }
  dialog_ = dialog;
  SetPropA(dialog_, kLockedProperty, dialog_);
  // The dialog box's loop passes each message it takes to this filter before the dialog manager.
  hook_ = SetWindowsHookExA(WH_MSGFILTER, filter, nullptr, GetCurrentThreadId());
  EnableWindow(dialog_, FALSE);
}

void InputLock::release() {
  if (dialog_ == nullptr) {
    return;
  }
  if (hook_ != nullptr) {
    UnhookWindowsHookEx(hook_);
  }
  RemovePropA(dialog_, kLockedProperty);
  EnableWindow(dialog_, TRUE);
  dialog_ = nullptr;
  hook_ = nullptr;
}

// True (dropped) for input to a locked dialog or its controls, in a dialog box's message loop;
// a message box's own controls are in a window of their own and pass.
LRESULT CALLBACK InputLock::filter(int code, WPARAM wParam, LPARAM lParam) {
  const MSG& message = *reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && isInput(message.message) && message.hwnd != nullptr &&
      GetPropA(GetAncestor(message.hwnd, GA_ROOT), kLockedProperty) != nullptr) {
    return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace quillmar::ui
