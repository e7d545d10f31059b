#include "ui/win32/dialog_operation_ui.h"

#include <commctrl.h>

#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

// The running program's file name without folder and extension
// ("QUILLmar_Update").
std::string programName() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length < MAX_PATH ? length : 0);
  name.erase(0, name.find_last_of("\\/") + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    name.erase(dot);
  }
  return name;
}

// The timer that moves the time line on once a second during an operation.
constexpr UINT_PTR kTimeTimer = 1;
constexpr UINT kTickMs = 1000;

const std::string& textAt(LPARAM lParam) {
  return *reinterpret_cast<const std::string*>(lParam);
}

}  // namespace

void showWarning(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), programName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool askYesNo(HWND owner, const std::string& question) {
  return MessageBoxA(owner, question.c_str(), programName().c_str(), MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

// SendMessage from the worker blocks until the dialog's thread has handled the
// message, so the texts passed by pointer stay alive long enough.
void DialogOperationUi::showMessage(const std::string& text) {
  SendMessageA(dialog_, kShowMessage, 0, reinterpret_cast<LPARAM>(&text));
}

void DialogOperationUi::setProgressRange(int steps) {
  SendMessageA(dialog_, kSetProgressRange, static_cast<WPARAM>(steps), 0);
}

void DialogOperationUi::setProgressPosition(int step) {
  SendMessageA(dialog_, kSetProgressPosition, static_cast<WPARAM>(step), 0);
}

void DialogOperationUi::setStatus(const std::string& text) {
  SendMessageA(dialog_, kSetStatus, 0, reinterpret_cast<LPARAM>(&text));
}

bool DialogOperationUi::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kShowMessage:
      showWarning(dialog_, textAt(lParam));
      return true;
    case kSetProgressRange:
      SendDlgItemMessageA(dialog_, IDC_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(wParam));
      clock_.setRange(static_cast<int>(wParam), OperationClock::Clock::now());
      showTime();
      return true;
    case kSetProgressPosition:
      SendDlgItemMessageA(dialog_, IDC_PROGRESS, PBM_SETPOS, wParam, 0);
      clock_.setPosition(static_cast<int>(wParam));
      showTime();
      return true;
    case kSetStatus:
      SetDlgItemTextA(dialog_, IDC_STATUS, textAt(lParam).c_str());
      return true;
    case WM_TIMER:
      if (wParam != kTimeTimer)
        return false;
      showTime();
      return true;
    default:
      return false;
  }
}

void DialogOperationUi::operationStarted(boot::Operation operation, bool block) {
  clock_.start(operation, block, OperationClock::Clock::now());
  showTime();
  SetTimer(dialog_, kTimeTimer, kTickMs, nullptr);
}

void DialogOperationUi::operationEnded() {
  KillTimer(dialog_, kTimeTimer);
  clock_.finish(OperationClock::Clock::now());
  showTime();
}

void DialogOperationUi::showTime() {
  SetDlgItemTextA(dialog_, IDC_TIME_LINE, clock_.line(OperationClock::Clock::now()).c_str());
}

}  // namespace quillmar::ui
