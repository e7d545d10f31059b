// Text files as the platform's own tools write them: lines end in LF on POSIX systems and in
// CR LF on Windows.
#pragma once

#include <string>

namespace quillmar::platform {

// `text`, whose lines end in LF, with the platform's line ends.
std::string withPlatformLineEnds(std::string text);

}  // namespace quillmar::platform
