#include "console_window.h"

namespace quillmar::platform {

bool closesWithProgram(const ConsoleWindowFacts& facts) {
  return facts.processesOnConsole == 1 && facts.hasWindow && facts.inputIsConsole &&
         facts.outputIsConsole;
}

}  // namespace quillmar::platform
