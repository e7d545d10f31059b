// POSIX text files keep the LF line ends as they are.
#include "line_ends.h"

namespace quillmar::platform {

std::string withPlatformLineEnds(std::string text) {
  return text;
}

}  // namespace quillmar::platform
