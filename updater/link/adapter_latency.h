// How long a USB serial adapter holds received bytes before it hands them to the computer
// (its latency timer), where the system shows it. Every reply of the boot loader waits that
// long, so on a byte-by-byte dialogue it decides how long an update takes.
#pragma once

#include <optional>
#include <string>

namespace quillmar::link {

// The latency timer in milliseconds of the adapter behind `device`, or nothing when the
// device is no such adapter or the system does not tell.
std::optional<int> adapterLatencyMs(const std::string& device);

// Where the user can lower that timer, for a note; "" when there is no such place.
std::string adapterLatencySetting(const std::string& device);

}  // namespace quillmar::link
