#include <io.h>
#include <stdio.h>

#include "cli/terminal.h"

namespace quillmar::cli {

bool standardErrorIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

}  // namespace quillmar::cli
