// The user's local clock for a time stamp (history records, file names), safe to ask from
// several threads at once, as the updater does when it updates several units side by side.
#pragma once

#include <ctime>

namespace quillmar::platform {

// `when` on the local clock of the process's time zone; all fields zero when the system cannot
// convert it.
std::tm localTime(std::time_t when);

}  // namespace quillmar::platform
