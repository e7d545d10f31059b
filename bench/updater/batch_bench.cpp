// Times updates of 1, 2, 4 and 8 units at once through UnitBatch, each unit a quillmar-bootsim
// process on its own pseudo-terminal taking the time a 38400 bit/s line takes. Prints per count
// the wall time, its ratio to one unit's (the goal: at most 1.25 for eight), the processor time
// per unit of the updater and of the simulators (getrusage), and whether every simulated flash
// (--dump) equals the image afterwards.
//
//   batch_bench           a 64-page image (about a minute per count, most of it the copy of
//                         the whole region kept before the erase)
//   batch_bench --full    the whole 130560-byte image (some minutes per count)
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "batch/unit_batch.h"
#include "bench_support.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using quillmar::bench::secondsSince;
using Clock = std::chrono::steady_clock;

constexpr int kCounts[] = {1, 2, 4, 8};

// One quillmar-bootsim process serving one session, and the device it serves.
struct SimProcess {
  pid_t pid = -1;
  std::string device;
  std::string dump;
};

// Starts quillmar-bootsim at 38400 bit/s for one session, dumping its flash to `dump` at the
// end; reads the device from the first line it prints. pid -1 when it did not start.
SimProcess startSim(const std::string& dump) {
  SimProcess sim;
  sim.dump = dump;
  int out[2];
  if (::pipe(out) != 0)
    return sim;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<std::string> args = {QUILLMAR_BOOTSIM, "--baud", "38400", "--sessions", "1",
                                   "--dump",         dump};
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  if (posix_spawn(&sim.pid, QUILLMAR_BOOTSIM, &actions, nullptr, argv.data(), environ) != 0)
    sim.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  char c;
  while (sim.pid > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
    sim.device += c;
  ::close(out[0]);
  return sim;
}

// Waits for the simulator to end its session and dump its flash; one that never saw a client
// is told to end.
void endSim(const SimProcess& sim, bool sessionHeld) {
  if (!sessionHeld)
    ::kill(sim.pid, SIGTERM);
  int status = 0;
  ::waitpid(sim.pid, &status, 0);
}

// Whether the dump holds the image and nothing but 0xFF after it.
bool dumpEquals(const std::string& dump, const std::vector<uint8_t>& image) {
  std::ifstream in(dump, std::ios::binary);
  const std::vector<uint8_t> flash{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  if (flash.size() < static_cast<std::size_t>(quillmar::boot::kAppRegionBytes))
    return false;
  for (std::size_t i = 0; i < static_cast<std::size_t>(quillmar::boot::kAppRegionBytes); ++i) {
    if (flash[i] != (i < image.size() ? image[i] : 0xFF))
      return false;
  }
  return true;
}

// Processor seconds (user and system) of `who`.
double cpuSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
  double wall = 0;
  double updaterCpu = 0;    // this process, per unit
  double simulatorCpu = 0;  // the simulators, per unit
  bool allUpdated = false;
  bool flashesEqual = false;
};

// Updates `count` fresh simulated units at once with the image in `folder`.
Figures timeBatch(int count, const fs::path& folder, const std::vector<uint8_t>& image) {
  Figures figures;
  std::vector<SimProcess> sims;
  quillmar::batch::BatchPlan plan;
  for (int i = 0; i < count; ++i) {
    sims.push_back(startSim((folder / ("flash-" + std::to_string(i) + ".bin")).string()));
    plan.ports.push_back({sims.back().device, ""});
  }
  plan.image = quillmar::boot::imageFileIn(folder.string());
  plan.folder = folder.string();
  plan.safety.dataFolder = (folder / ("data-" + std::to_string(count))).string();
  std::deque<quillmar::bench::SilentUi> uis(static_cast<std::size_t>(count));
  const double cpuBefore = cpuSeconds(RUSAGE_SELF);
  const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
  const Clock::time_point start = Clock::now();
  quillmar::batch::UnitBatch batch(plan, std::cerr);
  const std::vector<quillmar::batch::UnitResult> results =
      batch.run([&](std::size_t unit) -> quillmar::boot::OperationUi& { return uis[unit]; });
  figures.wall = secondsSince(start);
  figures.updaterCpu = (cpuSeconds(RUSAGE_SELF) - cpuBefore) / count;
  figures.allUpdated = results.size() == sims.size();
  for (std::size_t i = 0; i < sims.size(); ++i) {
    const bool updated = i < results.size() && results[i].exitStatus == 0;
    figures.allUpdated = figures.allUpdated && updated;
    endSim(sims[i], i < results.size() && !results[i].record.port.empty());
  }
  figures.simulatorCpu = (cpuSeconds(RUSAGE_CHILDREN) - childrenBefore) / count;
  figures.flashesEqual = true;
  for (const SimProcess& sim : sims)
    figures.flashesEqual = figures.flashesEqual && dumpEquals(sim.dump, image);
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const bool full = argc > 1 && std::strcmp(argv[1], "--full") == 0;
  const int size = full ? quillmar::boot::kAppRegionBytes : 64 * quillmar::boot::kPageBytes;
  const fs::path folder = quillmar::bench::imageFolder("quillmar-batch-bench", size);
  std::vector<uint8_t> image(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i)
    image[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i * 7 + i / 256);
  std::printf(
      "updates of a %d-byte image at 38400 bit/s, N units at once (quillmar-bootsim "
      "processes; the copy kept before the erase included)\n",
      size);
  std::printf("%5s %9s %8s %16s %18s %8s %14s\n", "units", "wall s", "ratio", "updater CPU s",
              "simulator CPU s", "updated", "flashes equal");
  double one = 0;
  double eight = 0;
  bool allGood = true;
  for (const int count : kCounts) {
    const Figures f = timeBatch(count, folder, image);
    if (count == 1)
      one = f.wall;
    if (count == 8)
      eight = f.wall;
    allGood = allGood && f.allUpdated && f.flashesEqual;
    std::printf("%5d %9.1f %8.2f %11.3f/unit %13.3f/unit %8s %14s\n", count, f.wall, f.wall / one,
                f.updaterCpu, f.simulatorCpu, f.allUpdated ? "all" : "NOT ALL",
                f.flashesEqual ? "yes" : "NO");
    std::fflush(stdout);
  }
  std::printf("8 units take %.2f x the time of one (goal: at most 1.25): %s\n", eight / one,
              eight / one <= 1.25 ? "met" : "NOT MET");
  fs::remove_all(folder);
  return allGood ? 0 : 1;
}
