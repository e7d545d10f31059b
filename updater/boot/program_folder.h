// The folder of the running program, where the updater's image files live by default.
#pragma once

#include <string>

namespace quillmar::boot {

// The directory holding the running program's file, without a trailing separator; "." when
// the platform cannot tell.
std::string programFolder();

}  // namespace quillmar::boot
