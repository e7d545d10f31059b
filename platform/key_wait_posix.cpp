#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "key_wait.h"

namespace quillmar::platform {

void waitForKeyPress() {
  if (isatty(STDIN_FILENO) == 0) {
    return;
  }
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) {
    return;
  }
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) {
    return;
  }
  char key = 0;
  while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

}  // namespace quillmar::platform
