// UpdaterDialog: the main dialog of QUILLmar_Update. Its buttons run one whole
// operation each through the shared presenter, on a worker thread so that the
// window keeps painting; while an operation runs the dialog takes no input, and
// its message boxes show on the dialog's thread. Below the progress bar it shows
// the time of an operation, the port behind the checked Com button (any of the
// computer's ports can be chosen there), the choice of fast transfers and
// whether an update keeps a copy of the unit first; Restore programs one of
// the copies kept; "Several units..." opens the window that runs an operation on
// several ports at once.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "boot/updater_presenter.h"
#include "ui/common/dialog_choices.h"
#include "ui/win32/dialog_operation_ui.h"
#include "ui/win32/file_choice.h"
#include "ui/win32/input_lock.h"
#include "ui/win32/owned_dialog.h"

namespace quillmar::ui {

class UpdaterDialog {
 public:
  UpdaterDialog(HINSTANCE instance, const DialogSettings& settings);
  // Waits for a running operation to end (the link closes with the presenter).
  ~UpdaterDialog();
  UpdaterDialog(const UpdaterDialog&) = delete;
  UpdaterDialog& operator=(const UpdaterDialog&) = delete;

  // Runs the dialog modally until Cancel, Escape or the close command; returns
  // its result.
  INT_PTR run();

 private:
  template <class Owner>
  friend INT_PTR CALLBACK ui::OwnedDialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void initialise(HWND dialog);
  bool command(int id, int notification);
  bool portListCommand(int notification);
  int checkedButton() const;
  void showPortChoices();
  void choosePort();
  void startOperation(boot::Operation operation);
  // Lets the user choose a kept copy and restores it.
  void restore();
  // Opens the "Several units" window.
  void severalUnits();
  void runOperation(boot::Operation operation, const boot::OperationFiles& files);
  void finishOperation();
  void dropFiles(HDROP files);

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  HICON largeIcon_;
  HICON smallIcon_;
  DialogSettings settings_;  // as the program started, for the "Several units" window
  std::string programFolder_;
  int portChoice_ = -1;
  bool block_;
  bool legacy_;
  DialogChoices choices_;
  std::vector<boot::ComPort> listed_;  // the port list's entries, in its order
  DialogOperationUi ui_;
  boot::UpdaterPresenter presenter_;
  InputLock lock_;
  FileChoiceControls files_;
  std::thread worker_;
};

}  // namespace quillmar::ui
