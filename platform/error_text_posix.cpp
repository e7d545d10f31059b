// POSIX error texts: strerror's, which end in no line end.
#include <system_error>

#include "error_text.h"

namespace quillmar::platform {

std::string systemErrorText(unsigned long code) {
  return std::generic_category().message(static_cast<int>(code));
}

}  // namespace quillmar::platform
