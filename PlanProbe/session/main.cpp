// planprobe: checks a schedule file for the unit and simulates the unit's clock over it.
#include <iostream>

#include "platform/console_text.h"
#include "platform/console_window.h"
#include "platform/key_wait.h"
#include "session/session.h"

int main(int argc, char* argv[]) {
  const quillmar::platform::ConsoleText console;
  // A run that waited for a key of its own has let its user read the window already.
  bool waited = false;
  const auto waitForKey = [&waited] {
    quillmar::platform::waitForKeyPress();
    waited = true;
  };
  const int status = quillmar::planprobe::RunSession(argc, argv, std::cout, waitForKey, &std::cerr);
  if (!waited) {
    quillmar::platform::holdOwnConsoleWindow();
  }
  return status;
}
