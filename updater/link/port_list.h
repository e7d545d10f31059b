// The serial ports this computer has, for telling the user which ones exist when the chosen
// one does not (port_list_posix.cpp, port_list_win32.cpp).
#pragma once

#include <string>
#include <vector>

namespace quillmar::link {

// The names a user can give as the port, in name order; on Linux each device path with its
// /dev/serial/by-id name in brackets when it has one. Empty when none is found.
std::vector<std::string> listSerialPorts();

}  // namespace quillmar::link
