// DialogOperationUi: the main dialog's status line, progress bar and message
// boxes offered to an operation that runs on a worker thread. Each call is sent
// to the dialog's own thread and carried out there; showMessage returns once
// the user has closed the box.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "boot/operation_ui.h"

namespace quillmar::ui {

// Messages the worker sends to the dialog. wParam and lParam as noted.
enum DialogMessage : UINT {
  kShowMessage = WM_APP + 1,  // lParam: const std::string* text
  kSetProgressRange,          // wParam: steps
  kSetProgressPosition,       // wParam: step
  kSetStatus,                 // lParam: const std::string* text
  kOperationDone,             // posted when the worker's operation has ended
  kShowHelp,                  // posted at start-up: the help dialog once the dialog shows
};

class DialogOperationUi : public boot::OperationUi {
 public:
  void attach(HWND dialog) { dialog_ = dialog; }

  void showMessage(const std::string& text) override;
  void setProgressRange(int steps) override;
  void setProgressPosition(int step) override;
  void setStatus(const std::string& text) override;

  // Carries out one of the messages above on the dialog's thread; false for any
  // other.
  static bool handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  HWND dialog_ = nullptr;
};

// The modal warning box of every failure: the text, an OK button, the
// exclamation-mark icon, titled with the program file's name without its
// extension.
void showWarning(HWND owner, const std::string& text);

}  // namespace quillmar::ui
