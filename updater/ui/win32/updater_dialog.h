// UpdaterDialog: the main dialog of QUILLmar_Update. Its buttons run one whole
// operation each through the shared presenter, on a worker thread so that the
// window keeps painting; while an operation runs the dialog takes no input, and
// its message boxes show on the dialog's thread.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <thread>

#include "boot/updater_presenter.h"
#include "ui/win32/dialog_operation_ui.h"
#include "ui/win32/file_choice.h"
#include "ui/win32/input_lock.h"

namespace quillmar::ui {

class UpdaterDialog {
 public:
  // With `block`, the operations use the boot loader's block transfers when it offers them.
  explicit UpdaterDialog(HINSTANCE instance, bool block = false);
  // Waits for a running operation to end (the link closes with the presenter).
  ~UpdaterDialog();
  UpdaterDialog(const UpdaterDialog&) = delete;
  UpdaterDialog& operator=(const UpdaterDialog&) = delete;

  // Runs the dialog modally until Cancel, Escape or the close command; returns
  // its result.
  INT_PTR run();

 private:
  static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void initialise();
  bool command(int id);
  void startOperation(boot::Operation operation);
  void finishOperation();
  void dropFiles(HDROP files);

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  HICON largeIcon_;
  HICON smallIcon_;
  std::string programFolder_;
  int portChoice_ = -1;
  DialogOperationUi ui_;
  boot::UpdaterPresenter presenter_;
  InputLock lock_;
  FileChoiceControls files_;
  std::thread worker_;
};

}  // namespace quillmar::ui
