// DialogOperationUi: the main dialog's status line, progress bar and message
// boxes offered to an operation that runs on a worker thread. Each call is sent
// to the dialog's own thread and carried out there; showMessage and
// confirmVersion return once the user has closed the box. The time line under the progress bar
// follows the progress, and a timer moves it on between steps.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "boot/operation_ui.h"
#include "boot/updater_presenter.h"
#include "ui/common/operation_clock.h"

namespace quillmar::ui {

// Messages the worker sends to the dialog. wParam and lParam as noted.
enum DialogMessage : UINT {
  kShowMessage = WM_APP + 1,  // lParam: const std::string* text
  kSetProgressRange,          // wParam: steps
  kSetProgressPosition,       // wParam: step
  kSetStatus,                 // lParam: const std::string* text
  kOperationDone,             // posted when the worker's operation has ended
  kShowHelp,                  // posted at start-up: the help dialog once the dialog shows
  kConfirmVersion,            // lParam: Question* (the gate's, answered in place)
  // To the "Several units" window, from its model's threads:
  kUnitRowChanged,  // wParam: the row that changed
  kUnitsRunEnded,   // posted when a run of several units has ended
};

// A question the worker asks and the dialog's thread answers.
struct Question {
  const std::string* text;
  bool yes = false;
};

class DialogOperationUi : public boot::OperationUi {
 public:
  void attach(HWND dialog) { dialog_ = dialog; }

  void showMessage(const std::string& text) override;
  void setProgressRange(int steps) override;
  void setProgressPosition(int step) override;
  void setStatus(const std::string& text) override;
  // Asks the gate's question with No as the default button, so Enter never
  // erases by accident.
  bool confirmVersion(const boot::VersionPair& versions, boot::GateVerdict verdict) override;

  // Carries out one of the messages above, or the time line's timer, on the
  // dialog's thread; false for any other.
  bool handle(UINT message, WPARAM wParam, LPARAM lParam);

  // On the dialog's thread: an operation starts (in block transfers or not,
  // with the steps of `safety` before an update's erase), or has ended.
  void operationStarted(boot::Operation operation, bool block, const boot::UpdateSafety& safety);
  void operationEnded();

 private:
  void showTime();

  HWND dialog_ = nullptr;
  OperationClock clock_;  // used on the dialog's thread only
};

// The modal warning box of every failure: the text, an OK button, the
// exclamation-mark icon, titled with the program file's name without its
// extension.
void showWarning(HWND owner, const std::string& text);

// A box with `text`, an OK button and the information icon, titled like the
// warning box.
void showInformation(HWND owner, const std::string& text);

// A question with Yes and No buttons and the question-mark icon, titled like
// the warning box, Yes or (`noByDefault`) No the default button; true for Yes.
bool askYesNo(HWND owner, const std::string& question, bool noByDefault);

}  // namespace quillmar::ui
