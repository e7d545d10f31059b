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
#include <sstream>
#include <string>
#include <vector>

#include "bootsim/boot_simulator.h"
#include "updater/boot/updater_presenter.h"
#include "updater/image/fileio.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using quillmar::boot::kAppRegionBytes;
using quillmar::boot::kPageBytes;

constexpr int kRawRounds = 5000;

// Keeps nothing: the benchmark wants no drawing in its figures.
class SilentUi : public quillmar::boot::OperationUi {
 public:
  void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
  void setProgressRange(int) override {}
  void setProgressPosition(int) override {}
  void setStatus(const std::string&) override {}
};

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Mean seconds for one byte out and its one-byte answer over plain system calls on the
// device: the auto-increment query, which the unit answers at once.
double rawRoundTrip(const std::string& device) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0)
    return -1;
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < kRawRounds; ++i) {
    const char query = 'a';
    char answer = 0;
    if (::write(fd, &query, 1) != 1 || ::read(fd, &answer, 1) != 1 || answer != 'Y') {
      ::close(fd);
      return -1;
    }
  }
  const double seconds = secondsSince(start) / kRawRounds;
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
  const fs::path folder =
      fs::temp_directory_path() / ("quillmar-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  std::vector<uint8_t> image(kAppRegionBytes);
  for (int i = 0; i < kAppRegionBytes; ++i)
    image[i] = static_cast<uint8_t>(i * 7 + i / 256);
  std::ostringstream diag;
  quillmar::image::fileio(quillmar::image::Output, (folder / "quillmar.hex").string(),
                          quillmar::image::IntelHex, image.data(), kAppRegionBytes, diag);

  const double rawBefore = rawRoundTrip(sim.devicePath());
  SilentUi ui;
  quillmar::boot::UpdaterPresenter presenter(
      ui, std::cerr, {sim.devicePath(), "/dev/null", "/dev/null", "/dev/null"});
  const Clock::time_point start = Clock::now();
  const bool updated = presenter.run(quillmar::boot::Operation::Update, 0, folder.string());
  const double updateSeconds = secondsSince(start);
  const double rawAfter = rawRoundTrip(sim.devicePath());
  sim.stop();
  fs::remove_all(folder);
  if (!updated || rawBefore < 0 || rawAfter < 0) {
    std::cerr << "update_bench: the update or the raw round trip failed\n";
    return 1;
  }

  const double raw = (rawBefore + rawAfter) / 2;
  const long trips = roundTripsFor(kAppRegionBytes);
  const double perTrip = updateSeconds / trips;
  std::printf("full update of %d bytes (write + read-back): %.2f s\n", kAppRegionBytes,
              updateSeconds);
  std::printf("time per image byte:                         %.1f us\n",
              updateSeconds / kAppRegionBytes * 1e6);
  std::printf("protocol round trips:                        %ld\n", trips);
  std::printf("time per protocol round trip:                %.1f us\n", perTrip * 1e6);
  std::printf("raw pty round trip (1 byte out, 1 back):     %.1f us (before %.1f, after %.1f)\n",
              raw * 1e6, rawBefore * 1e6, rawAfter * 1e6);
  std::printf("ratio to raw round trips:                    %.2f (goal <= 1.5)\n", perTrip / raw);
  return 0;
}
