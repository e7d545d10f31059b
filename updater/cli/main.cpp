// quillmar-update: programs, reads back or identifies the unit's firmware from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "platform/console_text.h"
#include "platform/console_window.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
  const quillmar::platform::ConsoleText console;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = quillmar::cli::runCommandLine(args, std::cout, std::cerr,
                                                   quillmar::platform::standardErrorIsTerminal());
  quillmar::platform::holdOwnConsoleWindow();
  return status;
}
