// Times the planprobe minute loop on a realistic schedule of 30 events: the plain
// minute-by-minute loop against the fast loop over 10 years, and the fast loop over 99 years
// (the whole program, in a child process so that its peak memory can be read) against copying
// the log it writes, with the run summary and the timeline page against without them, and
// --compare over 20 years against one run (with an identical copy as the old schedule, so that
// every minute's command is compared, and with an edited one). Each figure is the best of five
// runs. Usage: planprobe_bench [schedule file] [scratch folder]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
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

// The whole program over `years` years with the options `extra`, run in a child process; its
// time and peak memory. `expected` is the exit status it must give.
ChildRun runProgram(const std::string& schedule, const std::string& log, int years,
                    const std::vector<std::string>& extra = {}, int expected = 0) {
  std::vector<std::string> args = {"planprobe", "-s" + schedule, "-o" + log,
                                   "+y" + std::to_string(years)};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<const char*> argv;
  for (const std::string& arg : args) {
    argv.push_back(arg.c_str());
  }
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
          std::ostringstream console;
          const int got = quillmar::planprobe::RunSession(static_cast<int>(argv.size()),
                                                          argv.data(), console, [] {});
          _exit(got == expected ? 0 : 1);
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

// --compare over 20 years against one run, with an identical and with an edited old schedule
// (its first daily time an hour later), and the peak memory against a 1-year comparison.
void compareFigures(const std::string& schedule, const fs::path& dir) {
  const std::string log = (dir / "compare20.log").string();
  const std::string same = (dir / "same.txt").string();
  const std::string edited = (dir / "edited.txt").string();
  fs::copy_file(schedule, same, fs::copy_options::overwrite_existing);
  std::string text;
  {
    std::ifstream in(schedule, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::string original = text;
  const size_t daily = text.find("P:DAY");
  const size_t time = daily == std::string::npos ? daily : text.rfind("T:", daily);
  if (time != std::string::npos && text[time + 2] >= '0' && text[time + 2] <= '1') {
    ++text[time + 3];
  }
  std::ofstream(edited, std::ios::binary) << text;
  const bool changed = text != original;
  const std::vector<std::string> sameOptions = {"--compare=" + same};
  const std::vector<std::string> editedOptions = {"--compare=" + edited};
  const Timing one = bestOf5([&] { return runProgram(schedule, log, 20).timing; });
  const ChildRun sameRun = runProgram(schedule, log, 20, sameOptions);
  const Timing compared =
      bestOf5([&] { return runProgram(schedule, log, 20, sameOptions).timing; });
  const Timing editedRun =
      bestOf5([&] { return runProgram(schedule, log, 20, editedOptions, changed ? 1 : 0).timing; });
  const ChildRun shortRun = runProgram(schedule, log, 1, sameOptions);
  std::printf(
      "20 years: one run %.3f s (cpu %.3f s); --compare with an identical copy %.3f s "
      "(cpu %.3f s), ratio %.2f (cpu %.2f)\n",
      one.wall, one.cpu, compared.wall, compared.cpu, compared.wall / one.wall,
      compared.cpu / one.cpu);
  std::printf("          --compare with an edited copy%s %.3f s (cpu %.3f s), ratio %.2f\n",
              changed ? "" : " (no time found to edit: identical)", editedRun.wall, editedRun.cpu,
              editedRun.wall / one.wall);
  std::printf("          peak RSS of --compare: 1 year %ld kB, 20 years %ld kB\n",
              shortRun.peakKilobytes, sameRun.peakKilobytes);
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
  const std::vector<std::string> insightOptions = {"--summary", "--timeline=" + page};
  ChildRun insight = runProgram(schedule, longLog, 99, insightOptions);
  insight.timing =
      bestOf5([&] { return runProgram(schedule, longLog, 99, insightOptions).timing; });
  std::printf(
      "99 years with --summary --timeline: %.3f s (cpu %.3f s), page %.2f MB, peak RSS %ld kB\n",
      insight.timing.wall, insight.timing.cpu, fs::file_size(page) / 1e6, insight.peakKilobytes);
  std::printf("          against without them: ratio %.2f (cpu %.2f)\n",
              insight.timing.wall / longRun.timing.wall, insight.timing.cpu / longRun.timing.cpu);
  compareFigures(schedule, dir);
  fs::remove_all(dir);
  return 0;
}
