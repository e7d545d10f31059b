// Terminals as isatty(3) tells them.
#include <unistd.h>

#include "terminal.h"

namespace quillmar::platform {

bool standardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

// Terminals take them as they are.
bool standardErrorTakesCursorMoves() {
  return true;
}

}  // namespace quillmar::platform
