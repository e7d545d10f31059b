// How long a USB serial adapter holds received bytes before it hands them to the computer
// (its latency timer), where the system shows it. Every reply of the boot loader waits that
// long, so on a byte-by-byte dialogue it decides how long an update takes.
#pragma once

#include <optional>
#include <string>

namespace quillmar::link {

// The latency timer in milliseconds of the adapter behind `device`, or nothing when the
// device is no such adapter or the system does not tell. On Linux `root` is the folder that
// holds sys/ and dev/ ("/" for this computer; tests pass a fake tree); on Windows, where the
// adapter's driver keeps the timer in the device's settings, it is not used.
std::optional<int> adapterLatencyMs(const std::string& device, const std::string& root = "/");

// One sentence that tells the user where to lower that timer, for a note; "" when there is no
// such place.
std::string adapterLatencySetting(const std::string& device, const std::string& root = "/");

}  // namespace quillmar::link
