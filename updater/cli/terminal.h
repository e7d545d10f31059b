// Whether a standard stream reaches a terminal (the progress bar is drawn only then).
#pragma once

namespace quillmar::cli {

// True when the process's standard error is a terminal.
bool standardErrorIsTerminal();

}  // namespace quillmar::cli
