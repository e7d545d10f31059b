// Windows keeps an adapter's latency timer in its driver's own settings (the port's advanced
// properties in the Device Manager), which the updater does not read.
#include "link/adapter_latency.h"

namespace quillmar::link {

std::optional<int> adapterLatencyMs(const std::string&) {
  return std::nullopt;
}

std::string adapterLatencySetting(const std::string&) {
  return "";
}

}  // namespace quillmar::link
