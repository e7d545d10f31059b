// Whether a standard stream reaches a terminal, where a program may draw what only a reader
// on a terminal wants (a progress bar) rather than bytes for a file or a pipe.
#pragma once

namespace quillmar::platform {

// True when the process's standard error is a terminal.
bool standardErrorIsTerminal();

}  // namespace quillmar::platform
