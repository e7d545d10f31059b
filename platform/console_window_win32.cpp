// The console's facts from the system: GetConsoleProcessList counts the processes attached to
// the console (a command prompt that started the program is one of them), GetConsoleWindow
// names its window, and GetConsoleMode tells a console handle from a redirected one. Wine gives
// a program started from a Unix terminal a console of its own too, with an invisible window:
// the terminal stays when the program ends, so that console counts as one without a window.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <iostream>

#include "console_window.h"
#include "key_wait.h"

namespace quillmar::platform {
namespace {

// True when standard handle `which` is the console.
bool isConsole(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// True when the program runs under Wine, which names its version in its ntdll.
bool underWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// True when the console has a window that the user sees and that closes with it.
bool hasOwnWindow() {
  const HWND window = GetConsoleWindow();
  return window != nullptr && (IsWindowVisible(window) || !underWine());
}

// The facts about this process's console now.
ConsoleWindowFacts currentFacts() {
  DWORD processes[2] = {};
  ConsoleWindowFacts facts;
  facts.processesOnConsole = GetConsoleProcessList(processes, 2);
  facts.hasWindow = hasOwnWindow();
  facts.inputIsConsole = isConsole(STD_INPUT_HANDLE);
  facts.outputIsConsole = isConsole(STD_OUTPUT_HANDLE);
  return facts;
}

}  // namespace

void holdOwnConsoleWindow() {
  if (!closesWithProgram(currentFacts())) {
    return;
  }
  std::cout << "\nPress any key to close this window." << std::flush;
  waitForKeyPress();
}

}  // namespace quillmar::platform
