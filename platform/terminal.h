// Whether a standard stream reaches a terminal, where a program may draw what only a reader
// on a terminal wants (a progress bar, lines redrawn in place) rather than bytes for a file or a
// pipe.
#pragma once

namespace quillmar::platform {

// True when the process's standard error is a terminal.
bool standardErrorIsTerminal();

// Readies standard error, a terminal, for the cursor moves that redraw lines in place (ANSI
// escape sequences): a Windows console is asked to take them. False when it does not, so the
// caller draws nothing that needs them.
bool standardErrorTakesCursorMoves();

}  // namespace quillmar::platform
