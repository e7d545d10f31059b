// Consoles as the C runtime tells them.
#include <io.h>
#include <stdio.h>

#include "terminal.h"

namespace quillmar::platform {

bool standardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace quillmar::platform
