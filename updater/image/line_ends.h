// Text files as the platform's own tools write them: lines end in LF on POSIX systems and in
// CR LF on Windows (line_ends_posix.cpp, line_ends_win32.cpp).
#pragma once

#include <string>

namespace quillmar::image {

// `text`, whose lines end in LF, with the platform's line ends.
std::string withPlatformLineEnds(std::string text);

}  // namespace quillmar::image
