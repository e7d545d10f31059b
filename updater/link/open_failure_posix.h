// The POSIX facts behind a failed open of a serial device.
#pragma once

#include <string>

#include "link/open_failure.h"

namespace quillmar::link {

// Classifies the errno of a failed open(), or of a refused lock (EWOULDBLOCK), of `device`:
// a missing device also lists the ports that exist; a refused permission names the group
// that owns the device when members of that group may open it.
OpenFailure openFailureOfErrno(int error, const std::string& device);

}  // namespace quillmar::link
