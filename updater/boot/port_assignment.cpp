#include "boot/port_assignment.h"

#include <algorithm>

#include "link/serial_link.h"

namespace quillmar::boot {
namespace {

using Ports = std::vector<link::SerialPortInfo>;

// The listed port named `device`, or the list's end.
Ports::const_iterator findPort(const Ports& ports, const std::string& device) {
  return std::find_if(ports.begin(), ports.end(),
                      [&](const link::SerialPortInfo& port) { return port.name == device; });
}

// `device` as a choice: its listed line, or the device alone.
ComPort choiceOf(const Ports& ports, const std::string& device) {
  const auto listed = findPort(ports, device);
  return {device, listed == ports.end() ? device : link::describePort(*listed)};
}

}  // namespace

std::array<ComPort, 2> assignComPorts(const Ports& ports, const std::array<std::string, 2>& given,
                                      const std::array<std::string, 2>& own) {
  // First what each button keeps: the given device, or its own port when that exists.
  std::array<std::string, 2> devices;
  for (size_t button = 0; button < devices.size(); ++button) {
    if (!given[button].empty())
      devices[button] = given[button];
    else if (!own[button].empty() && findPort(ports, own[button]) != ports.end())
      devices[button] = own[button];
  }
  // Then the others, in button order, from the ports no button shows yet.
  const link::PortDevices fallback = link::defaultPortDevices();
  for (size_t button = 0; button < devices.size(); ++button) {
    if (!devices[button].empty())
      continue;
    const auto free = std::find_if(ports.begin(), ports.end(), [&](const link::SerialPortInfo& p) {
      return std::find(devices.begin(), devices.end(), p.name) == devices.end();
    });
    if (free != ports.end())
      devices[button] = free->name;
    else
      devices[button] = own[button].empty() ? fallback[button] : own[button];
  }
  return {choiceOf(ports, devices[0]), choiceOf(ports, devices[1])};
}

std::vector<ComPort> describePorts(const Ports& ports) {
  std::vector<ComPort> choices;
  for (const link::SerialPortInfo& port : ports)
    choices.push_back({port.name, link::describePort(port)});
  return choices;
}

}  // namespace quillmar::boot
