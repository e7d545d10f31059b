#include "console.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>
#include <vector>

namespace quillmar::planprobe {

void consolePrint(std::ostream& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length > 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    out.write(text.data(), length);
  }
  va_end(again);
}

}  // namespace quillmar::planprobe
