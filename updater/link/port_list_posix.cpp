// Serial ports on Linux: the terminals in sys/class/tty that have a device behind them,
// without the legacy UART slots that report no hardware, named by their dev/ paths. A USB
// adapter's facts come from the first folder above its device that has idVendor.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

#include "link/port_list.h"

namespace quillmar::link {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute file; "" when it can't be read.
std::string attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string value;
  std::getline(in, value);
  return value;
}

// A serial-core port without a UART (most of /dev/ttyS0..31) reports type 0.
bool hasNoHardware(const fs::path& sysEntry) {
  std::ifstream type(sysEntry / "type");
  int code = -1;
  return type >> code && code == 0;
}

// Device name ("ttyUSB0") -> its dev/serial/by-id name, which tells adapters apart.
std::map<std::string, std::string> stableNames(const fs::path& root) {
  std::map<std::string, std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(root / "dev/serial/by-id", error), end; !error && it != end;
       it.increment(error)) {
    const fs::path target = fs::read_symlink(it->path(), error);
    if (!error)
      names[target.filename().string()] = it->path().filename().string();
    error.clear();
  }
  return names;
}

// The USB device folder above `device`, staying inside `sysRoot`; nothing for other ports.
std::optional<fs::path> usbDeviceFolder(const fs::path& device, const fs::path& sysRoot) {
  std::error_code error;
  fs::path folder = fs::canonical(device, error);
  if (error)
    return std::nullopt;
  const std::string top = sysRoot.string();
  while (folder.string().size() > top.size() && folder.string().rfind(top, 0) == 0) {
    if (fs::exists(folder / "idVendor", error))
      return folder;
    folder = folder.parent_path();
  }
  return std::nullopt;
}

// What the port's sysfs entry says about it.
SerialPortInfo describeEntry(const fs::path& entry, const fs::path& sysRoot) {
  SerialPortInfo port;
  port.name = "/dev/" + entry.filename().string();
  if (const std::optional<fs::path> usb = usbDeviceFolder(entry / "device", sysRoot)) {
    port.usb = true;
    port.vendorId = attribute(*usb / "idVendor");
    port.productId = attribute(*usb / "idProduct");
    port.serialNumber = attribute(*usb / "serial");
    const std::string maker = attribute(*usb / "manufacturer");
    const std::string product = attribute(*usb / "product");
    port.description = maker.empty() || product.empty() ? maker + product : maker + " " + product;
    if (port.description.empty())
      port.description = "USB serial adapter";
    return port;
  }
  port.description = "serial port";
  return port;
}

}  // namespace

std::vector<SerialPortInfo> listSerialPortDetails(const std::string& root) {
  const fs::path top(root);
  std::error_code error;
  const fs::path sysRoot = fs::canonical(top / "sys", error);
  if (error)
    return {};
  const std::map<std::string, std::string> names = stableNames(top);
  std::vector<SerialPortInfo> ports;
  for (fs::directory_iterator it(sysRoot / "class/tty", error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    const std::string device = it->path().filename().string();
    if (!fs::exists(it->path() / "device", ignored) || hasNoHardware(it->path()) ||
        !fs::exists(top / "dev" / device, ignored))
      continue;
    SerialPortInfo port = describeEntry(it->path(), sysRoot);
    if (const auto name = names.find(device); name != names.end())
      port.stableName = name->second;
    ports.push_back(std::move(port));
  }
  std::sort(ports.begin(), ports.end(), [](const SerialPortInfo& a, const SerialPortInfo& b) {
    return a.usb != b.usb ? a.usb : a.name < b.name;
  });
  return ports;
}

std::vector<std::string> listSerialPorts() {
  std::vector<std::string> ports;
  for (const SerialPortInfo& port : listSerialPortDetails()) {
    ports.push_back(port.stableName.empty() ? port.name : port.name + " (" + port.stableName + ")");
  }
  std::sort(ports.begin(), ports.end());
  return ports;
}

}  // namespace quillmar::link
