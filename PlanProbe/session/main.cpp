// planprobe: checks a schedule file for the unit and simulates the unit's clock over it.
#include <iostream>

#include "platform/console_text.h"
#include "session/key_wait.h"
#include "session/session.h"

int main(int argc, char* argv[]) {
  const quillmar::platform::ConsoleText console;
  return quillmar::planprobe::RunSession(argc, argv, std::cout,
                                         quillmar::planprobe::waitForKeyPress, &std::cerr);
}
