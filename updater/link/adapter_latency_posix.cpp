// Linux shows a USB serial adapter's latency timer in the device's sysfs folder
// (/sys/class/tty/ttyUSB0/device/latency_timer), readable by everyone.
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/adapter_latency.h"

namespace quillmar::link {
namespace {

// The sysfs file of `device`'s latency timer, following links such as /dev/serial/by-id/...;
// "" when the device has none.
std::string latencyFile(const std::string& device) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(device, error);
  if (error)
    return "";
  const std::filesystem::path file =
      std::filesystem::path("/sys/class/tty") / real.filename() / "device" / "latency_timer";
  return std::filesystem::exists(file, error) ? file.string() : "";
}

}  // namespace

std::optional<int> adapterLatencyMs(const std::string& device) {
  const std::string file = latencyFile(device);
  if (file.empty())
    return std::nullopt;
  int ms = -1;
  std::ifstream(file) >> ms;
  return ms >= 0 ? std::optional<int>(ms) : std::nullopt;
}

std::string adapterLatencySetting(const std::string& device) {
  return latencyFile(device);
}

}  // namespace quillmar::link
