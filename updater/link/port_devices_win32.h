// The serial ports in Windows' device list (the Ports device class, read through SetupAPI):
// for naming them in the port list and for reading an adapter driver's latency timer.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillmar::link {

// One device of the Ports class that has a COM name.
struct PortDevice {
  std::string portName;          // "COM5"
  std::string friendlyName;      // "USB Serial Port (COM5)"; the device's description without one
  std::string instanceId;        // "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000"
  std::optional<int> latencyMs;  // the driver's LatencyTimer setting, where it has one
};

// The devices of the Ports class that the system lists as present, in its order; empty when
// the list has none (as under a bare Wine).
std::vector<PortDevice> listPortDevices();

}  // namespace quillmar::link
