// Consoles as the C runtime tells them; their handling of escape sequences as the console
// mode sets it.
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "terminal.h"

namespace quillmar::platform {

bool standardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

// Windows 10 and later take the sequences once the console mode says so; older consoles refuse
// the mode.
bool standardErrorTakesCursorMoves() {
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
  constexpr DWORD ENABLE_VIRTUAL_TERMINAL_PROCESSING = 0x0004;
#endif
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode))
    return false;
  return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace quillmar::platform
