// A POSIX program runs in the terminal it was started from, which outlives it.
#include "console_window.h"

namespace quillmar::platform {

void holdOwnConsoleWindow() {}

}  // namespace quillmar::platform
