// The console's own key input: _getch() reads one key press without echo and without waiting
// for Enter. With standard input redirected from a file or a pipe there is no key to wait for.
#include <conio.h>
#include <io.h>

#include <cstdio>

#include "key_wait.h"

namespace quillmar::platform {

void waitForKeyPress() {
  if (_isatty(_fileno(stdin)) == 0) {
    return;
  }
  // Function and arrow keys arrive as two codes; take the second as part of the same press.
  const int key = _getch();
  if (key == 0 || key == 0xE0) {
    _getch();
  }
}

}  // namespace quillmar::platform
