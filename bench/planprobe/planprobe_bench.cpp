// Times the planprobe minute loop on a realistic schedule of 30 events: the plain
// minute-by-minute loop against the fast loop over 10 years, and the fast loop over 99 years
// (the whole program, in a child process so that its peak memory can be read) against copying
// the log it writes, and with the run summary and the timeline page against without them. Each
// figure is the best of five runs. Usage: planprobe_bench [schedule file]
// [scratch folder]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "session/session.h"
#include "tests/simulation_test_support.h"

namespace {

using quillmar::planprobe::openLogFile;
using quillmar::planprobe::testing::ScheduleFileRun;
namespace fs = std::filesystem;

constexpr uint32_t kMinutesPerYear = 525600;

// Processor time (user and system) of this process or of its waited-for children.
double cpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing {
  double wall;
  double cpu;  // user and system time: what the work costs on a shared machine
};

// Times `work` done in this process (`who` RUSAGE_SELF) or in children it waits for.
Timing timingOf(const std::function<void()>& work, int who = RUSAGE_SELF) {
  const double cpuBefore = cpuSeconds(who);
  const auto start = std::chrono::steady_clock::now();
  work();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {wall, cpuSeconds(who) - cpuBefore};
}

// Runs the simulation of `years` years from 1 January 2000 into `log`, fast or plain.
void simulate(const std::string& schedule, const std::string& log, uint32_t years, bool fast) {
  ScheduleFileRun run(schedule, openLogFile(log, false), 1, 1, 0, 0, 0, years * kMinutesPerYear);
  if (!run.run(fast)) {
    std::fprintf(stderr, "the schedule %s could not be analysed\n", schedule.c_str());
    std::exit(1);
  }
}

// The best of five timings: on a shared machine the others measure the neighbours too.
Timing bestOf5(const std::function<Timing()>& measure) {
  Timing best = measure();
  for (int round = 1; round < 5; ++round) {
    const Timing next = measure();
    best = {std::min(best.wall, next.wall), std::min(best.cpu, next.cpu)};
  }
  return best;
}

struct ChildRun {
  Timing timing;
  long peakKilobytes;
};

// The whole program over `years` years, run in a child process; its time and peak memory.
// With `page`, the run also shows its summary and writes its timeline page there.
ChildRun runProgram(const std::string& schedule, const std::string& log, int years,
                    const std::string& page = "") {
  const std::string span = "+y" + std::to_string(years);
  const std::string source = "-s" + schedule;
  const std::string target = "-o" + log;
  const std::string timeline = "--timeline=" + page;
  int status = 0;
  rusage usage{};
  // Each run writes a new file, as cp does below: freeing the old one's blocks is not the
  // program's work. Nor is writing back what earlier runs left in the page cache.
  fs::remove(log);
  sync();
  const Timing timing = timingOf(
      [&] {
        const pid_t child = fork();
        if (child == 0) {
          const char* argv[] = {"planprobe",  source.c_str(), target.c_str(),
                                span.c_str(), "--summary",    timeline.c_str()};
          const int argc = page.empty() ? 4 : 6;
          std::ostringstream console;
          _exit(quillmar::planprobe::RunSession(argc, argv, console, [] {}) == 0 ? 0 : 1);
        }
        wait4(child, &status, 0, &usage);
      },
      RUSAGE_CHILDREN);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "planprobe over %d years failed\n", years);
    std::exit(1);
  }
  return {timing, usage.ru_maxrss};
}

bool sameContent(const std::string& a, const std::string& b) {
  return std::system(("cmp -s '" + a + "' '" + b + "'").c_str()) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string schedule = argc > 1 ? argv[1] : PLANPROBE_BENCH_SCHEDULE;
  const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "planprobe-bench";
  fs::create_directories(dir);
  const std::string plainLog = (dir / "plain10.log").string();
  const std::string fastLog = (dir / "fast10.log").string();
  const std::string longLog = (dir / "fast99.log").string();
  const std::string copy = (dir / "copy99.log").string();

  std::printf("schedule: %s\n", schedule.c_str());
  const Timing plain =
      bestOf5([&] { return timingOf([&] { simulate(schedule, plainLog, 10, false); }); });
  const Timing fast =
      bestOf5([&] { return timingOf([&] { simulate(schedule, fastLog, 10, true); }); });
  std::printf("10 years: plain loop %.3f s (cpu %.3f s), fast loop %.3f s (cpu %.3f s)\n",
              plain.wall, plain.cpu, fast.wall, fast.cpu);
  std::printf("          ratio %.1f (cpu %.1f), logs %s (%.1f MB)\n", plain.wall / fast.wall,
              plain.cpu / fast.cpu, sameContent(plainLog, fastLog) ? "identical" : "DIFFER",
              fs::file_size(fastLog) / 1e6);

  const ChildRun oneYear = runProgram(schedule, (dir / "fast1.log").string(), 1);
  ChildRun longRun = runProgram(schedule, longLog, 99);
  longRun.timing = bestOf5([&] { return runProgram(schedule, longLog, 99).timing; });
  const Timing copying = bestOf5([&] {
    fs::remove(copy);
    sync();
    return timingOf(
        [&] {
          if (std::system(("cp '" + longLog + "' '" + copy + "'").c_str()) != 0) {
            std::fprintf(stderr, "cp failed\n");
          }
        },
        RUSAGE_CHILDREN);
  });
  std::printf(
      "99 years: planprobe %.3f s (cpu %.3f s), cp of its %.1f MB log %.3f s (cpu %.3f s)\n",
      longRun.timing.wall, longRun.timing.cpu, fs::file_size(longLog) / 1e6, copying.wall,
      copying.cpu);
  std::printf("          ratio %.2f (cpu %.2f)\n", longRun.timing.wall / copying.wall,
              longRun.timing.cpu / copying.cpu);
  std::printf("peak RSS: 1 year %ld kB, 99 years %ld kB\n", oneYear.peakKilobytes,
              longRun.peakKilobytes);

  const std::string page = (dir / "page99.html").string();
  ChildRun insight = runProgram(schedule, longLog, 99, page);
  insight.timing = bestOf5([&] { return runProgram(schedule, longLog, 99, page).timing; });
  std::printf(
      "99 years with --summary --timeline: %.3f s (cpu %.3f s), page %.2f MB, peak RSS %ld kB\n",
      insight.timing.wall, insight.timing.cpu, fs::file_size(page) / 1e6, insight.peakKilobytes);
  std::printf("          against without them: ratio %.2f (cpu %.2f)\n",
              insight.timing.wall / longRun.timing.wall, insight.timing.cpu / longRun.timing.cpu);
  fs::remove_all(dir);
  return 0;
}
