// OwnedDialogProc: the dialog procedure of a dialog that one object runs, its owner. The dialog
// is created with the owner's address as its parameter; WM_INITDIALOG keeps it in the window
// (DWLP_USER) and hands the owner its window through initialise(HWND), and every later message
// goes to the owner's handle(). The messages that come before WM_INITDIALOG (WM_SETFONT) are
// left to the dialog manager. An owner befriends the template to keep both members private.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quillmar::ui {

template <class Owner>
INT_PTR CALLBACK OwnedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<Owner*>(lParam)->initialise(window);
    return TRUE;
  }
  auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, DWLP_USER));
  return owner == nullptr ? FALSE : owner->handle(message, wParam, lParam);
}

}  // namespace quillmar::ui
