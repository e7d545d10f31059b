// The console window of a program started by a double-click. Explorer gives such a console
// program a window of its own, which closes the moment the program ends and takes its last words
// (a usage text, an error, a result) with it; started from a command prompt, the window is the
// prompt's and stays. Before it ends, a program holds its own window open until a key is pressed.
#pragma once

namespace quillmar::platform {

// What the choice rests on, as the system reports it.
struct ConsoleWindowFacts {
  unsigned processesOnConsole = 0;  // processes attached to the console, this one included
  bool hasWindow = false;           // the console shows in a window (none under a Unix terminal)
  bool inputIsConsole = false;      // standard input is the console, so a key can be read
  bool outputIsConsole = false;     // standard output is the console, so the prompt is seen
};

// True when the console window closes with this program while its user reads its output there:
// the program is alone on a console that has a window, and reads and writes that console.
bool closesWithProgram(const ConsoleWindowFacts& facts);

// Called last in main(): when the program's console window would close with it, shows
// "Press any key to close this window." and waits for a key. Otherwise, and on POSIX systems,
// does nothing.
void holdOwnConsoleWindow();

}  // namespace quillmar::platform
