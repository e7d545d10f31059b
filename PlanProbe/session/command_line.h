// The planprobe command line: options, start date and time, simulated span, usage text.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "calendar/solar.h"
#include "rules/sim_clock.h"

namespace quillmar::planprobe {

// What the "--" options ask for beyond the run itself; none changes the run's log.
struct InsightOptions {
  bool strict = false;                      // --strict
  bool diagnostics = false;                 // --diagnostics
  bool summary = false;                     // --summary
  std::optional<std::string> timelinePath;  // --timeline
  std::optional<SiteParameters> site;       // --site
  std::optional<std::string> comparePath;   // --compare: the schedule the edit started from
};

// The parsed command line; unchanged once read.
struct SessionOptions {
  std::string sourcePath = "schedule.txt";
  std::string logPath = "out.txt";
  bool appendLog = false;         // -p
  bool analyzeOnly = false;       // -a
  bool loadsOnly = false;         // -l
  bool stopOnErrors = false;      // -e
  bool niceMode = false;          // -n
  uint32_t totalMinutes = 10080;  // one week unless a + option is given
  bool spanGiven = false;
  InsightOptions insight;
};

// Exit statuses of the program.
constexpr int kExitOk = 0;
constexpr int kExitFailure = -1;

// Writes the usage text to `console`, naming the given schedule and log files as defaults.
void PrintUsage(std::ostream& console, const std::string& sourcePath, const std::string& logPath);

// Reads `args` (the arguments after the program name) into `options` and the start date and
// time into `clock`, writing the command line's messages to `console`. Returns the exit status
// when the command line ends the program, nothing when the session is to go on.
std::optional<int> ReadCommandLine(std::span<const char* const> args, SessionOptions& options,
                                   SimClock& clock, std::ostream& console);

}  // namespace quillmar::planprobe
