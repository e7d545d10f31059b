// Why a serial port could not be opened, told apart so that the user knows what to do: the
// line that follows the link's "Invalid handle retrieved opening port" text. The platform
// backends find the facts (serial_port_posix.cpp, serial_port_win32.cpp); the wording is here.
#pragma once

#include <string>
#include <vector>

namespace quillmar::link {

// The link's text for a device that cannot be opened.
inline constexpr const char* kInvalidHandle =
    "Opening serial port: Invalid handle retrieved opening port";

struct OpenFailure {
  enum class Kind { NoDevice, PermissionDenied, InUse, Other };
  Kind kind = Kind::Other;
  std::vector<std::string> ports;  // NoDevice: the serial ports that do exist
  std::string group;               // PermissionDenied: the device's group, when it may open it
  std::string systemText;          // Other: the system's description of the error
};

// One line without a line end: the device, the reason, and what to do about it.
std::string describeOpenFailure(const std::string& device, const OpenFailure& failure);

// kInvalidHandle, then on a line of its own what describeOpenFailure says.
std::string invalidHandleMessage(const std::string& device, const OpenFailure& failure);

}  // namespace quillmar::link
