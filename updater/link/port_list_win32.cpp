// Serial ports on Windows: every COMn name the system maps to a device, described by the
// device it maps to.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "link/port_list.h"

namespace quillmar::link {

std::vector<SerialPortInfo> listSerialPortDetails(const std::string&) {
  constexpr int kHighestPort = 256;
  std::vector<SerialPortInfo> ports;
  char target[1024];
  for (int number = 1; number <= kHighestPort; ++number) {
    const std::string name = "COM" + std::to_string(number);
    if (QueryDosDeviceA(name.c_str(), target, sizeof target) == 0)
      continue;
    SerialPortInfo port;
    port.name = name;
    port.description = target;
    ports.push_back(std::move(port));
  }
  return ports;
}

std::vector<std::string> listSerialPorts() {
  std::vector<std::string> ports;
  for (const SerialPortInfo& port : listSerialPortDetails(""))
    ports.push_back(port.name);
  return ports;
}

}  // namespace quillmar::link
