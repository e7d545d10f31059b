// Times the copy an update keeps of the unit before the erase, and what it adds to a whole
// update, against the simulated unit on a modelled 38400 bit/s line. The copy alone is a dry
// run's read of the whole region, with block reads and without (a boot loader that offers
// none); each figure is set against the line's own time for the region's 130560 bytes.
// The whole updates program the full region byte by byte and in blocks, each with the copy
// and without it (the legacy dialogue). A run takes about ten minutes.
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

constexpr uint32_t kBaud = 38400;
constexpr double kRegionLineSeconds = kAppRegionBytes * 10.0 / kBaud;

// One timed operation: what it does and how.
struct Scenario {
  const char* name;
  bool dryRun;  // the copy's read alone
  bool legacy;  // no copy
  bool block;   // the update in blocks
  bool noBlockOffered;
};

// Seconds for `s` on a fresh simulated unit that runs another firmware; -1 on a failure.
double timeRun(const Scenario& s, const fs::path& folder) {
  quillmar::bootsim::Faults faults;
  faults.noBlock = s.noBlockOffered;
  quillmar::bootsim::BootSimulator sim(faults, {}, {kBaud, 0});
  auto flash = sim.loader().flash().bytes();
  for (int i = 0; i < kAppRegionBytes; ++i)
    flash[i] = static_cast<uint8_t>(i * 3 + 1);
  if (!sim.start().empty())
    return -1;
  SilentUi ui;
  quillmar::boot::UpdaterPresenter presenter(
      ui, std::cerr, {sim.devicePath(), "/dev/null", "/dev/null", "/dev/null"});
  quillmar::boot::UpdateSafety safety;
  safety.legacy = s.legacy;
  safety.dryRun = s.dryRun;
  safety.dataFolder = (folder / "data").string();
  presenter.programmer().setSafety(safety);
  presenter.programmer().setBlockMode(s.block);
  const Clock::time_point start = Clock::now();
  const bool ok = presenter.run(quillmar::boot::Operation::Update, 0, folder.string());
  const double seconds = secondsSince(start);
  sim.stop();
  return ok ? seconds : -1;
}

}  // namespace

int main() {
  const fs::path folder = quillmar::bench::imageFolder("quillmar-copy-bench", kAppRegionBytes);
  const Scenario copies[] = {
      {"copy, block reads", true, false, false, false},
      {"copy, byte by byte (no blocks offered)", true, false, false, true},
  };
  std::printf(
      "the kept copy of 130560 bytes on a %u bit/s line (simulated unit); the line's\n"
      "own time for them: %.1f s\n",
      kBaud, kRegionLineSeconds);
  for (const Scenario& s : copies) {
    const double seconds = timeRun(s, folder);
    if (seconds < 0) {
      std::cerr << "copy_bench: the run failed (" << s.name << ")\n";
      return 1;
    }
    std::printf("%-40s %6.1f s = %.2f x the line's time (goal <= 1.15 with block reads)\n", s.name,
                seconds, seconds / kRegionLineSeconds);
  }
  const Scenario updates[] = {
      {"update byte by byte, no copy (legacy)", false, true, false, false},
      {"update byte by byte, with the copy", false, false, false, false},
      {"update --block, no copy (legacy)", false, true, true, false},
      {"update --block, with the copy", false, false, true, false},
  };
  std::printf("whole updates of the full region with read-back:\n");
  for (const Scenario& s : updates) {
    const double seconds = timeRun(s, folder);
    if (seconds < 0) {
      std::cerr << "copy_bench: the run failed (" << s.name << ")\n";
      return 1;
    }
    std::printf("%-40s %6.1f s\n", s.name, seconds);
  }
  fs::remove_all(folder);
  return 0;
}
