#include "image/line_ends.h"

namespace quillmar::image {

std::string withPlatformLineEnds(std::string text) {
  return text;
}

}  // namespace quillmar::image
