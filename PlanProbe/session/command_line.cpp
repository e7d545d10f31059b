#include "session/command_line.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>

#include "session/console.h"
#include "session/long_options.h"

namespace quillmar::planprobe {

namespace {

constexpr const char* kDateLengthMessage =
    "\n6 characters are required in the start date. The format is mmddyy. Exiting\n";
constexpr const char* kDateDigitMessage =
    "Found a non-number character in start the date. Exiting.\n";
constexpr const char* kTimeLengthMessage =
    "\n4 characters are required in the start time. The format is hhmm. Exiting\n";
constexpr const char* kTimeDigitMessage =
    "Found a non-number character in the start time. Exiting.";

// Minutes per unit of each + option.
int64_t spanFactor(char unit) {
  switch (unit) {
    case 'y':
      return 525600;
    case 'm':
      return 44640;
    case 'w':
      return 10080;
    case 'd':
      return 1440;
    case 'h':
      return 60;
    case 'i':
      return 1;
    default:
      return 0;
  }
}

// Checks that `arg` holds exactly `digits` decimal digits after its two option characters.
// The first offending character decides the message; a short argument is a length error.
const char* checkDigits(const char* arg, size_t digits, const char* lengthMessage,
                        const char* digitMessage) {
  const size_t length = std::strlen(arg);
  if (length < 2 + digits) {
    return lengthMessage;
  }
  for (size_t i = 2; i < length; ++i) {
    if (i >= 2 + digits) {
      return lengthMessage;
    }
    if (arg[i] < '0' || arg[i] > '9') {
      return digitMessage;
    }
  }
  return nullptr;
}

int8_t twoDigits(const char* text) {
  return static_cast<int8_t>((text[0] - '0') * 10 + text[1] - '0');
}

// Adds the span of a + option; false when it is negative or the total leaves 0..2^31-1.
bool addSpan(const char* arg, int64_t factor, SessionOptions& options) {
  const long long count = std::strtoll(arg + 2, nullptr, 10);
  constexpr int64_t kMost = std::numeric_limits<int32_t>::max();
  if (count < 0 || count > kMost) {
    return false;
  }
  const int64_t total = options.totalMinutes + count * factor;
  if (total > kMost) {
    return false;
  }
  options.totalMinutes = static_cast<uint32_t>(total);
  return true;
}

// Handles one '-' argument; returns the exit status when the program is to end.
std::optional<int> readDashOption(const char* arg, SessionOptions& options, SimClock& clock,
                                  std::ostream& console) {
  switch (arg[1]) {
    case 's':
      options.sourcePath = arg + 2;
      return std::nullopt;
    case 'o':
      options.logPath = arg + 2;
      return std::nullopt;
    case 'p':
      options.appendLog = true;
      return std::nullopt;
    case 'a':
      options.analyzeOnly = true;
      return std::nullopt;
    case 'l':
      options.loadsOnly = true;
      return std::nullopt;
    case 'e':
      options.stopOnErrors = true;
      return std::nullopt;
    case 'n':
      options.niceMode = true;
      return std::nullopt;
    case 'd':
      if (const char* message = checkDigits(arg, 6, kDateLengthMessage, kDateDigitMessage)) {
        console << message;
        return kExitFailure;
      }
      clock.setDate(twoDigits(arg + 2), twoDigits(arg + 4), twoDigits(arg + 6));
      return std::nullopt;
    case 't':
      if (const char* message = checkDigits(arg, 4, kTimeLengthMessage, kTimeDigitMessage)) {
        console << message;
        return kExitFailure;
      }
      clock.setTime(twoDigits(arg + 2), twoDigits(arg + 4));
      return std::nullopt;
    default:
      consolePrint(console, "unknown argument: %s ", arg);
      return std::nullopt;
  }
}

// Handles one '+' argument; returns the exit status when the program is to end.
std::optional<int> readSpanOption(const char* arg, SessionOptions& options, std::ostream& console) {
  if (!options.spanGiven) {
    options.spanGiven = true;
    options.totalMinutes = 0;
  }
  const int64_t factor = spanFactor(arg[1]);
  if (factor == 0) {
    consolePrint(console, "Error: unknown command line argument: %s\n\n", arg);
    PrintUsage(console, options.sourcePath, options.logPath);
    return kExitOk;
  }
  if (!addSpan(arg, factor, options)) {
    consolePrint(console,
                 "Error: %s: the span to simulate must add up to 0 to 2147483647 minutes.\n", arg);
    return kExitFailure;
  }
  return std::nullopt;
}

}  // namespace

void PrintUsage(std::ostream& console, const std::string& sourcePath, const std::string& logPath) {
  console << "Usage for planprobe.exe:\n";
  consolePrint(console, "-s<sourcefile> (default is %s)\n", sourcePath.c_str());
  consolePrint(console, "-o<logfile> (default is %s)\n", logPath.c_str());
  console << "-p append output to logfile instead of overwriting it.\n"
             "-a analyze schedule only. no simulation.\n"
             "-l show daily loads only during simulation. no minute by minute executions.\n"
             "-e the simulation will stop on any errors or warnings found in the file.\n"
             "-n nice mode: sleep() every \"minute\" - slower, tasks processor less.\n"
             "-d<6 digit start date mmddyy> (default is 010100 January 1st, 2000)\n"
             "-t<4 digit start hour hhmm> (default is 0000 midnight.)\n"
             "+y<number of years (365 days each) to simulate> (default is 0)\n"
             "+m<number of months (31 days each) to simulate> (default is 0)\n"
             "+w<number of weeks to simulate> (default is 1)\n"
             "+d<number of days to simulate> (default is 0)\n"
             "+h<number of hours to simulate> (default is 0)\n"
             "+i<number of minutes to simulate> (default is 0)\n"
             "Ex:planprobe -sschedule.txt -oresults.txt -d010302 -t1230 +d700 +h4 +m916\n"
             "This means open schedule.txt simulate from January 3,2002, for 700days4hrs916min "
             "and write the results to results.txt.\n";
}

std::optional<int> ReadCommandLine(std::span<const char* const> args, SessionOptions& options,
                                   SimClock& clock, std::ostream& console) {
  if (args.empty()) {
    PrintUsage(console, options.sourcePath, options.logPath);
    console << "\nYou entered no special parameters. Continuing with default settings...";
    return std::nullopt;
  }
  for (size_t at = 0; at < args.size(); ++at) {
    const char* arg = args[at];
    std::optional<int> status;
    if (arg[0] == '-' && arg[1] == '-') {
      status = ReadLongOption(args, at, options, console);
    } else if (arg[0] == '-') {
      status = readDashOption(arg, options, clock, console);
    } else if (arg[0] == '+') {
      status = readSpanOption(arg, options, console);
    } else {
      consolePrint(console, "unknown argument: %s ", arg);
    }
    if (status) {
      return status;
    }
  }
  return std::nullopt;
}

}  // namespace quillmar::planprobe
