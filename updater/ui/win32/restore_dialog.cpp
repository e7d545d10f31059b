// The dialog that chooses the kept copy to restore.
#include "ui/win32/restore_dialog.h"

#include "ui/common/dialog_resources.h"
#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

static_assert(kIdCopyList == IDC_COPY_LIST);

// What the dialog offers and what the user chose.
struct RestoreChoice {
  const std::vector<std::string>* lines;
  int chosen = -1;
};

INT_PTR CALLBACK restoreProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const auto& choice = *reinterpret_cast<RestoreChoice*>(lParam);
    const HWND list = GetDlgItem(dialog, IDC_COPY_LIST);
    for (const std::string& line : *choice.lines)
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    return TRUE;
  }
  if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL))
    return FALSE;
  auto& choice = *reinterpret_cast<RestoreChoice*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (LOWORD(wParam) == IDOK)
    choice.chosen =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_COPY_LIST, CB_GETCURSEL, 0, 0));
  EndDialog(dialog, LOWORD(wParam));
  return TRUE;
}

}  // namespace

int runRestoreDialog(HINSTANCE instance, HWND owner, const std::vector<std::string>& lines) {
  RestoreChoice choice{&lines};
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_RESTORE_DIALOG), owner, restoreProc,
                  reinterpret_cast<LPARAM>(&choice));
  return choice.chosen;
}

}  // namespace quillmar::ui
