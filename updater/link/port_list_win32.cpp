// Serial ports on Windows: every COMn name the system maps to a device, described by the
// device it maps to.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "link/port_list.h"
#include "link/serial_link.h"

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
    // --port takes COM1..COM4 by name; the others open only as device paths.
    port.name = number <= kPortCount ? name : "\\\\.\\" + name;
    port.description = target;
    ports.push_back(std::move(port));
  }
  return ports;
}

std::vector<std::string> listSerialPorts() {
  std::vector<std::string> ports;
  for (const SerialPortInfo& port : listSerialPortDetails("")) {
    const size_t com = port.name.rfind("COM");  // the message says COM5, not \\.\COM5
    ports.push_back(port.name.substr(com));
  }
  return ports;
}

}  // namespace quillmar::link
