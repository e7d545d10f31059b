// What the error texts of all systems share.
#include "error_text.h"

#include <string_view>

namespace quillmar::platform {

std::string withoutFullStop(std::string text) {
  while (!text.empty() && std::string_view("\r\n. ").find(text.back()) != std::string_view::npos) {
    text.pop_back();
  }
  return text;
}

}  // namespace quillmar::platform
