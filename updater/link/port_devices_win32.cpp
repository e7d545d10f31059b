// SetupAPI's view of the Ports class. Each device's own settings (PortName, an FTDI driver's
// LatencyTimer) are in its device key, "Device Parameters" under its Enum entry.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// clang-format off: initguid.h must come first, so that devguid.h defines the class GUID.
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>
// clang-format on

#include "link/port_devices_win32.h"

namespace quillmar::link {
namespace {

// A text property of the device, "" when it has none.
std::string textProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
  char text[512];
  DWORD type = 0;
  if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, property, &type,
                                         reinterpret_cast<BYTE*>(text), sizeof text - 1, nullptr) ||
      type != REG_SZ)
    return "";
  text[sizeof text - 1] = '\0';
  return text;
}

// The text value `name` of `key`; "" when it is missing or not text.
std::string textValue(HKEY key, const char* name) {
  char text[256];
  DWORD type = 0;
  DWORD size = sizeof text - 1;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return "";
  text[size] = '\0';
  return text;
}

// The number value `name` of `key`, or nothing.
std::optional<int> numberValue(HKEY key, const char* name) {
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return static_cast<int>(value);
}

// The device as a port; its portName stays "" when its device key names none.
PortDevice describeDevice(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  PortDevice port;
  const HKEY key =
      SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
  if (key == INVALID_HANDLE_VALUE)
    return port;
  port.portName = textValue(key, "PortName");
  port.latencyMs = numberValue(key, "LatencyTimer");
  RegCloseKey(key);
  char id[512];  // longer than any device instance ID (at most 200 characters)
  if (SetupDiGetDeviceInstanceIdA(devices, &device, id, sizeof id, nullptr))
    port.instanceId = id;
  port.friendlyName = textProperty(devices, device, SPDRP_FRIENDLYNAME);
  if (port.friendlyName.empty())
    port.friendlyName = textProperty(devices, device, SPDRP_DEVICEDESC);
  return port;
}

}  // namespace

std::vector<PortDevice> listPortDevices() {
  std::vector<PortDevice> ports;
  const HDEVINFO devices =
      SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE)
    return ports;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    PortDevice port = describeDevice(devices, device);
    if (port.portName.rfind("COM", 0) == 0)  // the class holds printer ports too
      ports.push_back(std::move(port));
  }
  SetupDiDestroyDeviceInfoList(devices);
  return ports;
}

}  // namespace quillmar::link
