#include "session/long_options.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <string>
#include <string_view>

#include "session/console.h"

namespace quillmar::planprobe {

namespace {

constexpr int kExitOption = 0;  // --help and --version end the program successfully

// What an option does with its value; returns the exit status when the program is to end.
using Apply = std::optional<int> (*)(const std::string& value, SessionOptions& options,
                                     std::ostream& console);

// An option: a flag it switches on, or what it does with its value (or alone).
struct LongOption {
  std::string_view name;   // as typed, "--" included
  std::string_view value;  // the value's placeholder; empty when it takes none
  bool InsightOptions::*flag;
  Apply apply;  // null for a flag
};

// Reads a number that fills all of `text`; false when anything else stands in it.
template <typename Number, typename Convert>
bool wholeNumber(const std::string& text, Number& out, Convert convert) {
  if (text.empty()) {
    return false;
  }
  char* end = nullptr;
  errno = 0;
  out = convert(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size();
}

// Parses "LAT,LON,TZ" into `site`; false when it is malformed or fails the unit's validation.
bool readSite(const std::string& value, SiteParameters& site) {
  const size_t first = value.find(',');
  const size_t second = first == std::string::npos ? first : value.find(',', first + 1);
  if (second == std::string::npos || value.find(',', second + 1) != std::string::npos) {
    return false;
  }
  float latitude = 0;
  float longitude = 0;
  long timeZone = 0;
  const auto toFloat = [](const char* text, char** end) { return std::strtof(text, end); };
  const auto toLong = [](const char* text, char** end) { return std::strtol(text, end, 10); };
  if (!wholeNumber(value.substr(0, first), latitude, toFloat) ||
      !wholeNumber(value.substr(first + 1, second - first - 1), longitude, toFloat) ||
      !wholeNumber(value.substr(second + 1), timeZone, toLong) || timeZone < -13 || timeZone > 13 ||
      !IsValidSite(latitude, longitude, static_cast<int>(timeZone))) {
    return false;
  }
  site = {latitude, longitude, static_cast<int8_t>(timeZone)};
  return true;
}

// --site: takes the site when it is valid, else refuses it before any file is touched.
std::optional<int> applySite(const std::string& value, SessionOptions& options,
                             std::ostream& console) {
  SiteParameters site{};
  if (!readSite(value, site)) {
    consolePrint(console,
                 "Error: --site %s is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 "
                 "(north positive), longitude -180 to 180 (east positive), each counted by its "
                 "integer part, and the whole hours local time lies behind universal time, -13 "
                 "to 13 (-1 for UT+1), for example --site 51.5,-0.1,0\n",
                 value.c_str());
    return kExitFailure;
  }
  options.insight.site = site;
  return std::nullopt;
}

// --timeline: where the page goes.
std::optional<int> applyTimeline(const std::string& value, SessionOptions& options, std::ostream&) {
  options.insight.timelinePath = value;
  return std::nullopt;
}

// --compare: the old schedule, checked once the files are known.
std::optional<int> applyCompare(const std::string& value, SessionOptions& options, std::ostream&) {
  options.insight.comparePath = value;
  return std::nullopt;
}

// --help and --version end the program after their text.
std::optional<int> applyHelp(const std::string&, SessionOptions&, std::ostream& console) {
  PrintHelp(console);
  return kExitOption;
}

std::optional<int> applyVersion(const std::string&, SessionOptions&, std::ostream& console) {
  console << "planprobe " << QUILLMAR_VERSION << "\n";
  return kExitOption;
}

constexpr std::array<LongOption, 8> kLongOptions{{
    {"--strict", "", &InsightOptions::strict, nullptr},
    {"--diagnostics", "", &InsightOptions::diagnostics, nullptr},
    {"--summary", "", &InsightOptions::summary, nullptr},
    {"--timeline", "FILE", nullptr, applyTimeline},
    {"--site", "LAT,LON,TZ", nullptr, applySite},
    {"--compare", "OLDFILE", nullptr, applyCompare},
    {"--help", "", nullptr, applyHelp},
    {"--version", "", nullptr, applyVersion},
}};

// One line of the help: how an option is typed and what it does.
struct HelpLine {
  std::string_view spelling;
  std::string_view text;
};

constexpr std::array<HelpLine, 24> kHelp{{
    {"-s<sourcefile>", "the schedule file to check (default schedule.txt)"},
    {"-o<logfile>", "the results log to write (default out.txt)"},
    {"-p", "append to the results log instead of overwriting it"},
    {"-a", "analyse the schedule only, no simulation"},
    {"-l", "show the daily loads only, no minute by minute executions"},
    {"-e", "stop the simulation on any error or warning"},
    {"-n", "nice mode: give up the processor after every simulated minute"},
    {"-d<mmddyy>", "start date (default 010100, 1 January 2000)"},
    {"-t<hhmm>", "start time (default 0000, midnight)"},
    {"+y<n>", "simulate n years of 365 days (the + options add up)"},
    {"+m<n>", "simulate n months of 31 days"},
    {"+w<n>", "simulate n weeks (default 1 when no + option is given)"},
    {"+d<n>", "simulate n days"},
    {"+h<n>", "simulate n hours"},
    {"+i<n>", "simulate n minutes"},
    {"--strict", "exit status 1 when the analysis reported any error, response or warning"},
    {"--diagnostics", "also write each analysis finding to standard error as FILE:LINE:COL: ..."},
    {"--summary", "show a summary of the run on the console afterwards"},
    {"--timeline FILE", "write a timeline page of the run (one HTML file) to FILE"},
    {"--site LAT,LON,TZ", "sunrise and sunset at this site (degrees; hours behind UT)"},
    {"--compare OLDFILE", "show the executed commands that differ from OLDFILE's (exit 1 if any)"},
    {"--lsp",
     "serve schedules to an editor (Language Server Protocol on standard input and output)"},
    {"--help", "show this list"},
    {"--version", "show the program's version"},
}};

}  // namespace

void PrintHelp(std::ostream& console) {
  console << "Usage: planprobe [options]\n";
  for (const HelpLine& line : kHelp) {
    consolePrint(console, "  %-19.*s %.*s\n", static_cast<int>(line.spelling.size()),
                 line.spelling.data(), static_cast<int>(line.text.size()), line.text.data());
  }
}

std::optional<int> ReadLongOption(std::span<const char* const> args, std::size_t& at,
                                  SessionOptions& options, std::ostream& console) {
  const std::string_view arg = args[at];
  const std::string_view name = arg.substr(0, arg.find('='));
  for (const LongOption& option : kLongOptions) {
    if (option.name != name || (option.value.empty() && name.size() != arg.size())) {
      continue;
    }
    std::string value;
    if (!option.value.empty()) {
      if (name.size() < arg.size()) {
        value = arg.substr(name.size() + 1);
      } else if (at + 1 < args.size()) {
        value = args[++at];
      }
      if (value.empty()) {
        consolePrint(console, "Error: %.*s needs a value: %.*s %.*s\n",
                     static_cast<int>(name.size()), name.data(), static_cast<int>(name.size()),
                     name.data(), static_cast<int>(option.value.size()), option.value.data());
        return kExitFailure;
      }
    }
    if (option.flag != nullptr) {
      options.insight.*option.flag = true;
      return std::nullopt;
    }
    return option.apply(value, options, console);
  }
  consolePrint(console, "unknown argument: %s ", args[at]);
  return std::nullopt;
}

}  // namespace quillmar::planprobe
