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
std::string latencyFile(const std::string& device, const std::string& root) {
  std::error_code error;
  const std::filesystem::path top(root);
  const std::filesystem::path real =
      std::filesystem::canonical(top / std::filesystem::path(device).relative_path(), error);
  if (error)
    return "";
  const std::filesystem::path file =
      top / "sys/class/tty" / real.filename() / "device" / "latency_timer";
  return std::filesystem::exists(file, error) ? file.string() : "";
}

}  // namespace

std::optional<int> adapterLatencyMs(const std::string& device, const std::string& root) {
  const std::string file = latencyFile(device, root);
  if (file.empty())
    return std::nullopt;
  int ms = -1;
  std::ifstream(file) >> ms;
  return ms >= 0 ? std::optional<int>(ms) : std::nullopt;
}

std::string adapterLatencySetting(const std::string& device, const std::string& root) {
  const std::string file = latencyFile(device, root);
  return file.empty() ? "" : "As root, 'echo 1 > " + file + "' sets the timer to 1 ms.";
}

}  // namespace quillmar::link
