#include "ui/win32/dialog_operation_ui.h"

#include <commctrl.h>

#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

// The running program's file name without folder and extension
// ("QUILLmar_Update").
std::string programName() {
  // Up to MAX_PATH UTF-16 units, each of which takes at most three bytes in UTF-8.
  char path[3 * MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path, length < sizeof path ? length : 0);
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

void showInformation(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), programName().c_str(), MB_OK | MB_ICONINFORMATION);
}

bool askYesNo(HWND owner, const std::string& question, bool noByDefault) {
  const UINT buttons = MB_YESNO | MB_ICONQUESTION | (noByDefault ? MB_DEFBUTTON2 : 0);
  return MessageBoxA(owner, question.c_str(), programName().c_str(), buttons) == IDYES;
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

bool DialogOperationUi::confirmVersion(const boot::VersionPair& versions,
                                       boot::GateVerdict verdict) {
  const std::string text = boot::gateQuestion(versions, verdict);
  Question question{&text};
  SendMessageA(dialog_, kConfirmVersion, 0, reinterpret_cast<LPARAM>(&question));
  return question.yes;
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
    case kConfirmVersion: {
      auto& question = *reinterpret_cast<Question*>(lParam);
      question.yes = askYesNo(dialog_, *question.text, true);
      return true;
    }
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

void DialogOperationUi::operationStarted(boot::Operation operation, bool block,
                                         const boot::UpdateSafety& safety) {
  clock_.start(operation, block, safety, OperationClock::Clock::now());
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
