// The folder of the running program, where a program keeps the files that belong beside it.
#pragma once

#include <string>

namespace quillmar::platform {

// The directory holding the running program's file, without a trailing separator; "." when
// the platform cannot tell.
std::string programFolder();

}  // namespace quillmar::platform
