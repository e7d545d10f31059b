// Generates a 64 MiB page full of feedback markers and tildes in a scratch folder, converts it
// with the built tildeconv and copies it with cp, best of a few runs each, and prints both
// rates (MB of source per second, by elapsed and by processor time) and the in-memory
// conversion rate. Processor time is the steadier figure on a busy machine.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run.h"
#include "tilde_converter.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using quillmar::tildeconv::kBlockSize;

constexpr size_t kPageSize = 64 << 20;
constexpr int kRuns = 7;

// A status page's rows repeated to `size` bytes: a marker every ~40 bytes, a tilde every ~200.
std::string generatePage(size_t size) {
  const std::string rows[] = {
      "  <tr><td>Unit clock</td><td><!--~--></td></tr>\n",
      "  <tr><td>Supply voltage</td><td><!--~--> V</td></tr>\n",
      "<p class=\"note\">Readings may lag the unit by ~1 minute; accuracy ~2 &deg;C.</p>\n",
      "  <tr><td>Housing temperature</td><td><!--~--> &deg;C</td></tr>\n",
      "<p>See http://intranet.example/~service/ for the service notes of this unit.</p>\n",
  };
  std::string page;
  page.reserve(size + 128);
  for (size_t i = 0; page.size() < size; ++i) {
    page += rows[i % std::size(rows)];
  }
  page.resize(size);
  return page;
}

// Elapsed and processor (user + system) seconds of one run.
struct Timing {
  double wall = 1e9;
  double cpu = 1e9;
};

// A rusage time in seconds.
double seconds(const timeval& time) {
  return time.tv_sec + time.tv_usec / 1e6;
}

// Runs argv (argv[0] is the program) in `folder` with its output discarded.
Timing timeRun(const fs::path& folder, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    if (chdir(folder.c_str()) == 0) {
      execvp(argv[0], argv.data());
    }
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const std::chrono::duration<double> took = Clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0].c_str());
    std::exit(1);
  }
  return {took.count(), seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// Best of kRuns runs, each writing `written` anew: it is removed and the disk brought up to
// date before each run, so that no run pays for the previous one's write-back.
Timing bestOf(const fs::path& folder, const std::vector<std::string>& args,
              const std::string& written) {
  Timing best;
  for (int i = 0; i < kRuns; ++i) {
    fs::remove(folder / written);
    sync();
    const Timing run = timeRun(folder, args);
    best = {std::min(best.wall, run.wall), std::min(best.cpu, run.cpu)};
  }
  return best;
}

// This process's processor time so far, in seconds.
double processorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

// Best processor time to convert `page` in memory, in the program's block size.
double bestInMemory(const std::string& page) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    quillmar::tildeconv::TildeConverter converter;
    size_t produced = 0;
    const double start = processorSeconds();
    for (size_t at = 0; at < page.size(); at += kBlockSize) {
      produced +=
          converter.convert({page.data() + at, std::min(kBlockSize, page.size() - at)}).size();
    }
    produced += converter.finish().size();
    best = std::min(best, processorSeconds() - start);
    if (produced == 0) {
      std::exit(1);
    }
  }
  return best;
}

// The rate at which a run of `seconds` went through the page.
double megabytesPerSecond(double seconds) {
  return kPageSize / 1e6 / seconds;
}

}  // namespace

int main() {
  std::string pattern = (fs::temp_directory_path() / "tildeconv-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const fs::path folder = pattern;
  const std::string page = generatePage(kPageSize);
  std::ofstream(folder / "page.htm", std::ios::binary).write(page.data(), page.size());

  const Timing convert = bestOf(folder, {TILDECONV_PROGRAM, "page.htm"}, "page.syn");
  const Timing copy = bestOf(folder, {"cp", "page.htm", "copy.htm"}, "copy.htm");
  const double inMemory = bestInMemory(page);
  fs::remove_all(folder);

  std::printf("page: %zu bytes; best of %d runs each; MB/s of source, elapsed and processor time\n",
              kPageSize, kRuns);
  std::printf("tildeconv: %8.1f MB/s elapsed  %8.1f MB/s processor\n",
              megabytesPerSecond(convert.wall), megabytesPerSecond(convert.cpu));
  std::printf("cp:        %8.1f MB/s elapsed  %8.1f MB/s processor\n",
              megabytesPerSecond(copy.wall), megabytesPerSecond(copy.cpu));
  std::printf("tildeconv / cp: %.2f elapsed, %.2f processor\n", copy.wall / convert.wall,
              copy.cpu / convert.cpu);
  std::printf("conversion alone, in memory: %.1f MB/s processor\n", megabytesPerSecond(inMemory));
  return 0;
}
