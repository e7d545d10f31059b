// Prints how fast the serial link and the simulated boot loader exchange bytes over a
// pseudo-terminal: one command byte out and its reply back, as every step of the updater's
// dialogue does it, and the figures that follow for the whole application region.
#include <chrono>
#include <cstdio>
#include <string>

#include "bootsim/boot_simulator.h"
#include "link/serial_link.h"

using quillmar::bootsim::BootSimulator;
using quillmar::bootsim::kAppRegionBytes;
using quillmar::link::SerialLink;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Sends `command` `count` times and reads `replyLength` bytes after each. False on a miss.
bool repeat(SerialLink& link, char command, int replyLength, int count) {
  for (int i = 0; i < count; ++i) {
    link.writeByte(command);
    for (int r = 0; r < replyLength; ++r) {
      if (link.readByte(2000) < 0) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int main() {
  BootSimulator sim;
  std::string error = sim.start();
  SerialLink link({sim.devicePath(), "", "", ""});
  if (!error.empty() || !(error = link.open(0, 38400)).empty()) {
    std::fprintf(stderr, "link_bench: %s\n", error.c_str());
    return 1;
  }
  constexpr int kRoundTrips = 20000;
  auto start = Clock::now();
  bool ok = repeat(link, 'a', 1, kRoundTrips);
  double perTrip = secondsSince(start) / kRoundTrips;

  constexpr int kWords = kAppRegionBytes / 2;
  start = Clock::now();
  link.writeByte('A');
  link.writeByte(0);
  link.writeByte(0);
  ok = ok && link.readByte(2000) == '\r' && repeat(link, 'R', 2, kWords);
  double readBack = secondsSince(start);
  link.close();
  sim.stop();
  if (!ok) {
    std::fprintf(stderr, "link_bench: the simulator stopped answering\n");
    return 1;
  }
  std::printf("command/reply round trip:           %8.1f us\n", perTrip * 1e6);
  std::printf("read back %d bytes (R per word): %8.2f s\n", kAppRegionBytes, readBack);
  // Writing costs one round trip per byte plus four per 256-byte page.
  std::printf("write estimate, whole region:       %8.2f s\n",
              perTrip * (kAppRegionBytes + 4.0 * kAppRegionBytes / 256));
  return 0;
}
