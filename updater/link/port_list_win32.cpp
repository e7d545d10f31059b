// Serial ports on Windows: every COMn name the system maps to a device.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "link/port_list.h"

namespace quillmar::link {

std::vector<std::string> listSerialPorts() {
  constexpr int kHighestPort = 256;
  std::vector<std::string> ports;
  char target[1024];
  for (int number = 1; number <= kHighestPort; ++number) {
    const std::string name = "COM" + std::to_string(number);
    if (QueryDosDeviceA(name.c_str(), target, sizeof target) != 0)
      ports.push_back(name);
  }
  return ports;
}

}  // namespace quillmar::link
