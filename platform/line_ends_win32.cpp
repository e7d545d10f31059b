// Windows text files end their lines in CR LF.
#include "line_ends.h"

#include <algorithm>

namespace quillmar::platform {

std::string withPlatformLineEnds(std::string text) {
  std::string windows;
  windows.reserve(text.size() +
                  static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
  for (const char c : text) {
    if (c == '\n') {
      windows += '\r';
    }
    windows += c;
  }
  return windows;
}

}  // namespace quillmar::platform
