// Finding the unit's port: each candidate is opened in turn and asked for the boot loader's
// identifier; the first that answers "AVRBOOT" is the unit. Finding all the units' ports asks
// every candidate at once. A port another program holds is
// skipped without a byte sent, as the link refuses to open it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmar::boot {

// How long a candidate may take over each byte of its answer: a boot loader answers at once.
inline constexpr uint16_t kProbeTimeoutMs = 1000;

// What one candidate did: `answer` is the identifier it sent (unprintable bytes as \xNN), or
// "" with `failure` saying why there is none.
struct PortProbe {
  std::string device;
  std::string answer;
  std::string failure;
};

struct PortSearch {
  std::optional<std::string> found;  // the first device whose boot loader answered
  std::vector<PortProbe> tried;      // every candidate asked, in order, up to the found one
};

// Asks `devices` in order and stops at the first boot loader.
PortSearch findBootLoader(const std::vector<std::string>& devices,
                          uint16_t timeoutMs = kProbeTimeoutMs);

// The lines that tell the user the search's outcome, each ending in a line end.
std::string describeSearch(const PortSearch& search);

// Asks all of `devices` at once, each on a link and a thread of its own, for --port all: what
// each did, in the devices' order.
std::vector<PortProbe> probeEach(const std::vector<std::string>& devices,
                                 uint16_t timeoutMs = kProbeTimeoutMs);

// True when the probe's boot loader answered "AVRBOOT".
bool answered(const PortProbe& probe);

// The lines that tell the user which of `probes` were skipped and why, then where the boot
// loader answers (or that it answered nowhere), each ending in a line end.
std::string describeProbes(const std::vector<PortProbe>& probes);

}  // namespace quillmar::boot
