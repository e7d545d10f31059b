// Windows keeps an adapter's latency timer in its driver's settings of the device
// (LatencyTimer in the port's device key, as FTDI's driver has it), which the port's advanced
// properties in the Device Manager change.
#include <algorithm>

#include "link/adapter_latency.h"
#include "link/port_devices_win32.h"
#include "link/serial_link.h"

namespace quillmar::link {

std::optional<int> adapterLatencyMs(const std::string& device, const std::string&) {
  const std::optional<int> number = comPortNumber(device);
  if (!number)
    return std::nullopt;
  const std::string name = "COM" + std::to_string(*number);
  const std::vector<PortDevice> devices = listPortDevices();
  const auto found = std::find_if(devices.begin(), devices.end(),
                                  [&](const PortDevice& port) { return port.portName == name; });
  return found == devices.end() ? std::nullopt : found->latencyMs;
}

std::string adapterLatencySetting(const std::string& device, const std::string& root) {
  if (!adapterLatencyMs(device, root))
    return "";
  return "Lower it to 1 ms in the Device Manager: the port's Properties, Port Settings, Advanced, "
         "Latency Timer.";
}

}  // namespace quillmar::link
