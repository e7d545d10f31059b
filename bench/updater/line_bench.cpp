// Times updates with read-back against the simulated unit on a modelled 38400 bit/s line:
// the byte-by-byte dialogue and block mode, without and with 16 ms of adapter latency. Each
// figure is set against the time the line itself needs for the bytes of that run (10 bit
// times per byte, both ways) plus the latency once per reply, so what is left over is the
// updater's and the simulator's own.
//
//   line_bench            scaled images (a run of a few minutes); full-image figures are
//                         worked out from the measured ratios
//   line_bench --full     every run with the whole 130560-byte image (about an hour, most
//                         of it the byte-by-byte dialogue behind 16 ms of latency)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "boot/updater_presenter.h"
#include "bootsim/boot_simulator.h"
#include "link/serial_link.h"

namespace {

namespace fs = std::filesystem;
using quillmar::bench::secondsSince;
using quillmar::bench::SilentUi;
using Clock = std::chrono::steady_clock;
using quillmar::boot::kAppRegionBytes;
using quillmar::boot::kPageBytes;

constexpr uint32_t kBaud = 38400;
constexpr double kByteSeconds = 10.0 / kBaud;
constexpr int kFullPages = kAppRegionBytes / kPageBytes;

// One run's traffic and time.
struct Run {
  bool ok = false;
  uint64_t bytes = 0;  // both ways
  uint64_t replies = 0;
  double seconds = 0;
  // What the line and the adapter alone would take.
  double lineSeconds(uint32_t latencyMs) const {
    return static_cast<double>(bytes) * kByteSeconds +
           static_cast<double>(replies) * latencyMs / 1e3;
  }
};

// An update with read-back of `pages` pages of a non-blank image, on a fresh simulated unit.
Run timeUpdate(int pages, bool block, uint32_t latencyMs) {
  const int size = pages * kPageBytes;
  const fs::path folder = quillmar::bench::imageFolder("quillmar-line-bench", size);
  quillmar::bootsim::BootSimulator sim({}, {}, {kBaud, latencyMs});
  Run run;
  if (!sim.start().empty())
    return run;
  SilentUi ui;
  quillmar::boot::UpdaterPresenter presenter(
      ui, std::cerr, {sim.devicePath(), "/dev/null", "/dev/null", "/dev/null"});
  presenter.programmer().setBlockMode(block);
  quillmar::boot::UpdateSafety legacy;  // the update as specified: these figures compare with it
  legacy.legacy = true;
  presenter.programmer().setSafety(legacy);
  const Clock::time_point start = Clock::now();
  run.ok = presenter.run(quillmar::boot::Operation::Update, 0, folder.string());
  run.seconds = secondsSince(start);
  sim.stop();
  run.bytes = sim.loader().bytesReceived() + sim.loader().bytesAnswered();
  run.replies = sim.loader().answers();
  fs::remove_all(folder);
  return run;
}

// Seconds over the line's own time that one exchange of a byte load ("c", a byte, and the
// acknowledgement) costs a bare client on the same link and modelled line: what the
// pseudo-terminal and the machine's wake-ups add, with no updater around it. -1 on a failure.
double bareExchangeOverhead(int exchanges) {
  quillmar::bootsim::BootSimulator sim({}, {}, {kBaud, 0});
  if (!sim.start().empty())
    return -1;
  quillmar::link::SerialLink link({sim.devicePath(), "/dev/null", "/dev/null", "/dev/null"});
  if (!link.open(0, kBaud).empty())
    return -1;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < exchanges; ++i) {
    link.writeByte('c');
    link.writeByte(0x12);
    if (link.readByte(1000) != '\r')
      return -1;
  }
  const double seconds = secondsSince(start);
  return seconds / exchanges - 3 * kByteSeconds;
}

// The run's traffic for the whole image: per page it grows by the same amount, so two sizes
// fix it; the measured ratio carries over.
struct Scenario {
  const char* name;
  bool block;
  uint32_t latencyMs;
  int pages;  // scaled image
};

}  // namespace

int main(int argc, char** argv) {
  const bool full = argc > 1 && std::strcmp(argv[1], "--full") == 0;
  const Scenario scenarios[] = {
      {"byte by byte", false, 0, full ? kFullPages : 64},
      {"--block", true, 0, full ? kFullPages : 64},
      {"byte by byte, 16 ms latency", false, 16, full ? kFullPages : 2},
      {"--block, 16 ms latency", true, 16, full ? kFullPages : 64},
  };
  std::printf("update with read-back on a %u bit/s line (simulated unit)%s\n", kBaud,
              full ? "" : "; scaled images, full-image figures worked out from them");
  double fullSeconds[4] = {};
  double firstRatio = 1;
  double fullReplies = 0;  // of the byte-by-byte dialogue
  int at = 0;
  for (const Scenario& s : scenarios) {
    const Run run = timeUpdate(s.pages, s.block, s.latencyMs);
    // One more page tells the traffic per page, which scales the run to the whole image.
    const Run bigger = full ? run : timeUpdate(s.pages + 1, s.block, s.latencyMs);
    if (!run.ok || !bigger.ok) {
      std::cerr << "line_bench: the update failed (" << s.name << ")\n";
      return 1;
    }
    const double line = run.lineSeconds(s.latencyMs);
    const double ratio = run.seconds / line;
    const double perPage = bigger.lineSeconds(s.latencyMs) - line;
    const double fullLine = line + perPage * (kFullPages - s.pages);
    if (at == 0) {
      firstRatio = ratio;
      fullReplies = static_cast<double>(run.replies) +
                    static_cast<double>(bigger.replies - run.replies) * (kFullPages - s.pages);
    }
    fullSeconds[at++] = fullLine * ratio;
    std::printf(
        "%-28s %3d pages: %8llu bytes, %6llu replies, line %7.2f s, measured %7.2f s, "
        "ratio %.3f; whole image: line %6.1f s, about %6.1f s\n",
        s.name, s.pages, static_cast<unsigned long long>(run.bytes),
        static_cast<unsigned long long>(run.replies), line, run.seconds, ratio, fullLine,
        fullLine * ratio);
  }
  std::printf(
      "whole image, no latency: --block %.1f s = %.2f of byte by byte %.1f s (goal <= 0.5)\n",
      fullSeconds[1], fullSeconds[1] / fullSeconds[0], fullSeconds[0]);
  std::printf(
      "whole image, 16 ms latency: --block %.1f s = %.3f of byte by byte %.1f s (%.1f min)\n",
      fullSeconds[3], fullSeconds[3] / fullSeconds[2], fullSeconds[2], fullSeconds[2] / 60);
  std::printf("goals: ratio <= 1.05 byte by byte, <= 1.10 with --block\n");
  // What the pseudo-terminal itself costs per reply, which every byte-by-byte exchange pays.
  const double overhead = bareExchangeOverhead(5000);
  if (overhead < 0) {
    std::cerr << "line_bench: the bare client failed\n";
    return 1;
  }
  const double fullLine = fullSeconds[0] / firstRatio;
  std::printf(
      "a bare client on the same line: %.1f us per exchange above its %.1f us of line time;\n"
      "byte by byte, whole image, without that: %.1f s, ratio %.3f\n",
      overhead * 1e6, 3 * kByteSeconds * 1e6, fullSeconds[0] - fullReplies * overhead,
      (fullSeconds[0] - fullReplies * overhead) / fullLine);
  return 0;
}
