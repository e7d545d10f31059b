#include <unistd.h>

#include "cli/terminal.h"

namespace quillmar::cli {

bool standardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace quillmar::cli
