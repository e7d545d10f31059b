// Serial ports on Linux: the terminals in /sys/class/tty that have a device behind them,
// without the legacy UART slots that report no hardware, named by their /dev paths.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "link/port_list.h"

namespace quillmar::link {
namespace {

namespace fs = std::filesystem;

// A serial-core port without a UART (most of /dev/ttyS0..31) reports type 0.
bool hasNoHardware(const fs::path& sysEntry) {
  std::ifstream type(sysEntry / "type");
  int code = -1;
  return type >> code && code == 0;
}

// Device path -> its /dev/serial/by-id name, which tells adapters apart.
std::map<std::string, std::string> stableNames() {
  std::map<std::string, std::string> names;
  std::error_code error;
  for (fs::directory_iterator it("/dev/serial/by-id", error), end; !error && it != end;
       it.increment(error)) {
    const fs::path target = fs::canonical(it->path(), error);
    if (!error)
      names[target.string()] = it->path().filename().string();
    error.clear();
  }
  return names;
}

}  // namespace

std::vector<std::string> listSerialPorts() {
  const std::map<std::string, std::string> names = stableNames();
  std::vector<std::string> ports;
  std::error_code error;
  for (fs::directory_iterator it("/sys/class/tty", error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    if (!fs::exists(it->path() / "device", ignored) || hasNoHardware(it->path()))
      continue;
    const std::string device = "/dev/" + it->path().filename().string();
    if (!fs::exists(device, ignored))
      continue;
    const auto name = names.find(device);
    ports.push_back(name == names.end() ? device : device + " (" + name->second + ")");
  }
  std::sort(ports.begin(), ports.end());
  return ports;
}

}  // namespace quillmar::link
