#include <unistd.h>

#include "updater/cli/terminal.h"

namespace quillmar::cli {

bool standardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace quillmar::cli
