// Waits for one key press on the console, without echoing it.
#pragma once

namespace quillmar::platform {

// Returns at once when standard input is no terminal or is at its end.
void waitForKeyPress();

}  // namespace quillmar::platform
