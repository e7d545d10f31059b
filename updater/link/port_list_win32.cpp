// Serial ports on Windows: every COMn that the system maps to a device or lists in its device
// list, by its COM name. The device list (SetupAPI) gives the name the user knows from the
// Device Manager and, for a USB adapter, its IDs; a port it does not list (all of them under a
// bare Wine) is described by the device its name maps to.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

#include "link/device_id.h"
#include "link/port_devices_win32.h"
#include "link/port_list.h"

namespace quillmar::link {
namespace {

constexpr int kHighestPort = 256;

// The device list's entry for `name`, or null.
const PortDevice* findDevice(const std::vector<PortDevice>& devices, const std::string& name) {
  const auto found = std::find_if(devices.begin(), devices.end(), [&](const PortDevice& device) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, device.portName.c_str(), -1,
                          name.c_str(), -1) == CSTR_EQUAL;
  });
  return found == devices.end() ? nullptr : &*found;
}

// The port as the device list describes it: its friendly name without the " (COM5)" that
// repeats the port's name, and what its instance ID says.
SerialPortInfo describeListed(const std::string& name, const PortDevice& device) {
  SerialPortInfo port;
  port.name = name;
  port.description = device.friendlyName;
  const std::string suffix = " (" + name + ")";
  if (port.description.size() > suffix.size() &&
      port.description.compare(port.description.size() - suffix.size(), suffix.size(), suffix) == 0)
    port.description.erase(port.description.size() - suffix.size());
  if (port.description.empty())
    port.description = "serial port";
  const DeviceIdFacts facts = parseDeviceInstanceId(device.instanceId);
  port.usb = facts.usb;
  port.vendorId = facts.vendorId;
  port.productId = facts.productId;
  port.serialNumber = facts.serialNumber;
  return port;
}

}  // namespace

std::vector<SerialPortInfo> listSerialPortDetails(const std::string&) {
  const std::vector<PortDevice> devices = listPortDevices();
  std::vector<SerialPortInfo> ports;
  char target[1024];
  for (int number = 1; number <= kHighestPort; ++number) {
    const std::string name = "COM" + std::to_string(number);
    if (const PortDevice* device = findDevice(devices, name)) {
      ports.push_back(describeListed(name, *device));
    } else if (QueryDosDeviceA(name.c_str(), target, sizeof target) != 0) {
      SerialPortInfo port;
      port.name = name;
      port.description = target;
      ports.push_back(std::move(port));
    }
  }
  // Adapters first; within each group the ports stay in number order.
  std::stable_sort(
      ports.begin(), ports.end(),
      [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.usb && !b.usb; });
  return ports;
}

std::vector<std::string> listSerialPorts() {
  std::vector<std::string> ports;
  for (const SerialPortInfo& port : listSerialPortDetails(""))
    ports.push_back(port.name);
  return ports;
}

}  // namespace quillmar::link
