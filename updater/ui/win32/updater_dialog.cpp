#include "ui/win32/updater_dialog.h"

#include <iostream>

#include "boot/program_folder.h"
#include "ui/operation_buttons.h"
#include "ui/win32/info_dialogs.h"
#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

// The shared table names the buttons by the portable ids; the resource script
// must give them the same numbers.
static_assert(kIdOk == IDOK && kIdRead == IDC_READ && kIdVersion == IDC_VERSION);

// Appends a separator and the about item to the window's system menu, unless
// its text is empty.
void addAboutItem(HINSTANCE instance, HWND dialog) {
  char text[128] = {};
  const HMENU menu = GetSystemMenu(dialog, FALSE);
  if (menu != nullptr && LoadStringA(instance, IDS_ABOUTBOX, text, sizeof text) > 0) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
  }
}

}  // namespace

UpdaterDialog::UpdaterDialog(HINSTANCE instance, bool block)
    : instance_(instance),
      largeIcon_(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))),
      smallIcon_(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                               IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR))),
      presenter_(ui_, std::cerr) {
  presenter_.programmer().setBlockMode(block);
}

UpdaterDialog::~UpdaterDialog() {
  if (worker_.joinable()) {
    worker_.join();
  }
  if (smallIcon_ != nullptr) {
    DestroyIcon(smallIcon_);
  }
}

INT_PTR UpdaterDialog::run() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_QUILLMAR_UPDATE_DIALOG), nullptr,
                         dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK UpdaterDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<UpdaterDialog*>(lParam);
    self->dialog_ = dialog;
    self->initialise();
    return TRUE;
  }
  auto* self = reinterpret_cast<UpdaterDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return self == nullptr ? FALSE : self->handle(message, wParam, lParam);
}

// The about item, icons, program folder and Com1; the help dialog follows once
// the dialog shows.
void UpdaterDialog::initialise() {
  ui_.attach(dialog_);
  addAboutItem(instance_, dialog_);
  SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
  SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  programFolder_ = boot::programFolder();
  files_.attach(dialog_, programFolder_);
  CheckRadioButton(dialog_, IDC_COM1, IDC_COM2, IDC_COM1);
  PostMessageA(dialog_, kShowHelp, 0, 0);
}

INT_PTR UpdaterDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (DialogOperationUi::handle(dialog_, message, wParam, lParam)) {
    return TRUE;
  }
  switch (message) {
    case kShowHelp:
      runHelpDialog(instance_, dialog_);
      return TRUE;
    case kOperationDone:
      finishOperation();
      return TRUE;
    case WM_DROPFILES:
      dropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_COMMAND:
      return command(LOWORD(wParam));
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        runAboutDialog(instance_, dialog_);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// A button, Enter (IDOK) or Escape and the close command (IDCANCEL). False
// leaves the command to the dialog's default handling.
bool UpdaterDialog::command(int id) {
  if (worker_.joinable()) {
    return true;  // an operation is running: no input is taken
  }
  if (files_.command(id)) {
    return true;
  }
  for (const OperationButton& button : kOperationButtons) {
    if (button.id == id) {
      startOperation(button.operation);
      return true;
    }
  }
  switch (id) {
    case ID_HELP:
      runHelpDialog(instance_, dialog_);
      return true;
    case IDCANCEL:
      EndDialog(dialog_, IDCANCEL);
      return true;
    default:
      return false;
  }
}

// Reads the port from the radio buttons and runs `operation` on its files on a
// worker thread. The dialog is locked meanwhile: it paints, but takes no clicks,
// keys or close command; the message boxes it opens stay usable.
void UpdaterDialog::startOperation(boot::Operation operation) {
  const std::optional<boot::OperationFiles> files = files_.filesFor(operation);
  if (!files) {
    return;
  }
  portChoice_ = IsDlgButtonChecked(dialog_, IDC_COM2) == BST_CHECKED ? 1 : 0;
  lock_.engage(dialog_);
  worker_ = std::thread([this, operation, port = portChoice_, files = *files] {
    presenter_.run(operation, port, files.image, files.readback);
    PostMessageA(dialog_, kOperationDone, 0, 0);
  });
}

// A file dropped onto the dialog becomes the image, unless an operation runs.
void UpdaterDialog::dropFiles(HDROP files) {
  if (worker_.joinable()) {
    DragFinish(files);
    return;
  }
  files_.drop(files);
}

void UpdaterDialog::finishOperation() {
  worker_.join();
  lock_.release();
  SetForegroundWindow(dialog_);
}

}  // namespace quillmar::ui
