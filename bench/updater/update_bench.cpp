// Times a full 130560-byte update (write and read-back) against the simulated unit on a
// pseudo-terminal, next to the raw round trip of the same pseudo-terminal, one byte out and
// one back, measured in the same run. The updater adds no waits of its own, so its time per
// protocol round trip should stay close to the raw one.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "boot/updater_presenter.h"
#include "bootsim/boot_simulator.h"

namespace {

namespace fs = std::filesystem;
using quillmar::bench::secondsSince;
using quillmar::bench::SilentUi;
using Clock = std::chrono::steady_clock;
using quillmar::boot::kAppRegionBytes;
using quillmar::boot::kPageBytes;

constexpr int kRounds = 2;

// Seconds for `rounds` times one byte out and its one-byte answer over plain system calls on
// the device: the auto-increment query, which the unit answers at once. -1 on a failure.
double rawRoundTrips(const std::string& device, long rounds) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0)
    return -1;
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
  const Clock::time_point start = Clock::now();
  for (long i = 0; i < rounds; ++i) {
    const char query = 'a';
    char answer = 0;
    if (::write(fd, &query, 1) != 1 || ::read(fd, &answer, 1) != 1 || answer != 'Y') {
      ::close(fd);
      return -1;
    }
  }
  const double seconds = secondsSince(start);
  ::close(fd);
  return seconds;
}

// Command/answer exchanges of an update of `size` bytes (even, whole pages) and its read-back:
// signature and auto-increment query, four preparation commands, the start address, one per
// data byte, three per page, leaving; then entering, the address, one per word, leaving.
long roundTripsFor(int size) {
  const long pages = size / kPageBytes;
  return 2 + 4 + 1 + size + 3 * pages + 1 + 2 + size / 2 + 1;
}

}  // namespace

int main() {
  quillmar::bootsim::BootSimulator sim;
  const std::string error = sim.start();
  if (!error.empty()) {
    std::cerr << "update_bench: " << error << '\n';
    return 1;
  }
  const fs::path folder = quillmar::bench::imageFolder("quillmar-bench", kAppRegionBytes);

  // The raw round trips are as many as the update needs, half before and half after it, so
  // both see the same machine: on a busy one, figures of a short raw loop would mislead.
  const long trips = roundTripsFor(kAppRegionBytes);
  SilentUi ui;
  quillmar::boot::UpdaterPresenter presenter(
      ui, std::cerr, {sim.devicePath(), "/dev/null", "/dev/null", "/dev/null"});
  quillmar::boot::UpdateSafety legacy;  // the update as specified: the round trips counted above
  legacy.legacy = true;
  presenter.programmer().setSafety(legacy);
  double rawSeconds = 0;
  double updateSeconds = 0;
  bool failed = false;
  for (int round = 1; round <= kRounds && !failed; ++round) {
    const double rawBefore = rawRoundTrips(sim.devicePath(), trips / 2);
    const Clock::time_point start = Clock::now();
    failed = !presenter.run(quillmar::boot::Operation::Update, 0, folder.string());
    const double update = secondsSince(start);
    const double rawAfter = rawRoundTrips(sim.devicePath(), trips - trips / 2);
    failed = failed || rawBefore < 0 || rawAfter < 0;
    std::printf("round %d: update %.2f s, %ld raw round trips %.2f s, ratio %.2f\n", round, update,
                trips, rawBefore + rawAfter, update / (rawBefore + rawAfter));
    rawSeconds += rawBefore + rawAfter;
    updateSeconds += update;
  }
  sim.stop();
  fs::remove_all(folder);
  if (failed) {
    std::cerr << "update_bench: the update or the raw round trip failed\n";
    return 1;
  }

  updateSeconds /= kRounds;
  rawSeconds /= kRounds;
  std::printf("mean of %d rounds:\n", kRounds);
  std::printf("full update of %d bytes (write + read-back): %.2f s\n", kAppRegionBytes,
              updateSeconds);
  std::printf("time per image byte:                         %.1f us\n",
              updateSeconds / kAppRegionBytes * 1e6);
  std::printf("protocol round trips:                        %ld\n", trips);
  std::printf("time per protocol round trip:                %.1f us\n",
              updateSeconds / trips * 1e6);
  std::printf("raw pty round trip (1 byte out, 1 back):     %.1f us\n", rawSeconds / trips * 1e6);
  std::printf("ratio to raw round trips:                    %.2f (goal <= 1.5)\n",
              updateSeconds / rawSeconds);
  return 0;
}
