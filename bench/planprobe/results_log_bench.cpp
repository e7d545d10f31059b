// Measures the results log on the minute loop's pattern: every simulated minute writes its
// stamp under a hold; odd minutes withdraw it again, even minutes keep it with a command line.
// Prints the time, the log size and the time of copying the finished log (what `cp` costs).
//
//   results_log_bench [years] [folder]     (defaults: 10 years, the system's temporary folder)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "log/results_log.h"

namespace {

using Clock = std::chrono::steady_clock;
using quillmar::planprobe::openLogFile;
using quillmar::planprobe::ResultsLog;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Copies `from` to `to` block by block, as cp does.
void copyFile(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  std::vector<char> block(1 << 17);
  for (size_t got; in != nullptr && (got = std::fread(block.data(), 1, block.size(), in)) > 0;) {
    std::fwrite(block.data(), 1, got, out);
  }
  if (in != nullptr) {
    std::fclose(in);
  }
  if (out != nullptr) {
    std::fclose(out);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  const long years = argc > 1 ? std::atol(argv[1]) : 10;
  const std::filesystem::path folder =
      argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
  const std::string logPath = (folder / "results_log_bench.txt").string();
  const std::string copyPath = (folder / "results_log_bench_copy.txt").string();
  const long minutes = years * 525600;

  const Clock::time_point start = Clock::now();
  {
    ResultsLog log(openLogFile(logPath, false));
    for (long i = 0; i < minutes; ++i) {
      const int hour = static_cast<int>(i / 60 % 24);
      const int minute = static_cast<int>(i % 60);
      const uint64_t mark = log.position();
      log.holdFrom(mark);
      // The stamp is built by hand, as the minute loop does on its hot path.
      const char stamp[] = {
          '\n', static_cast<char>('0' + hour / 10),   static_cast<char>('0' + hour % 10),
          ':',  static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10),
          ' '};
      log.write(std::string_view(stamp, sizeof stamp));
      if (i % 2 == 0) {
        log.print(" (%02i:%02i starttime) ElvaneStartSequence: %i", 2, 0, 10);
      } else {
        log.withdrawTo(mark);
      }
      log.release();
    }
  }
  const double logSeconds = secondsSince(start);
  const auto size = std::filesystem::file_size(logPath);

  const Clock::time_point copyStart = Clock::now();
  copyFile(logPath, copyPath);
  const double copySeconds = secondsSince(copyStart);

  std::printf("minutes simulated: %ld (%ld years)\n", minutes, years);
  std::printf("log size:          %.1f MB\n", static_cast<double>(size) / 1e6);
  std::printf("log written in:    %.3f s (%.1f MB/s)\n", logSeconds,
              static_cast<double>(size) / 1e6 / logSeconds);
  std::printf("copy of the log:   %.3f s\n", copySeconds);
  std::printf("ratio log / copy:  %.1f\n", logSeconds / copySeconds);
  std::filesystem::remove(logPath);
  std::filesystem::remove(copyPath);
  return 0;
}
