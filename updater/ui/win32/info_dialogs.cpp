#include "ui/win32/info_dialogs.h"

#include "ui/common/dialog_resources.h"
#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

// Closes the box on OK, Escape and the caption's close command.
bool closeOnCommand(HWND dialog, UINT message, WPARAM wParam) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return true;
  }
  return false;
}

INT_PTR CALLBACK helpProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextA(dialog, IDC_HELP_TEXT, helpText().c_str());
    return TRUE;
  }
  return closeOnCommand(dialog, message, wParam);
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, kAboutVersionLine);
    return TRUE;
  }
  return closeOnCommand(dialog, message, wParam);
}

}  // namespace

void runHelpDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_HELP_DIALOG), owner, helpProc, 0);
}

void runAboutDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, aboutProc, 0);
}

}  // namespace quillmar::ui
