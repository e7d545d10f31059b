#include "server/run_settings.h"

#include <sstream>
#include <vector>

#include "calendar/calendar.h"

namespace quillmar::planprobe {

namespace {

constexpr std::string_view kCommentMark = "planprobe:";
constexpr int kCommentLines = 5;

// What one option word sets, by its spelling.
enum class Sets { StartDate, StartTime, Span, Site, Nothing };

Sets whatSets(std::string_view word) {
  if (word.starts_with("--site")) {
    return Sets::Site;
  }
  if (word.starts_with("-d")) {
    return Sets::StartDate;
  }
  if (word.starts_with("-t")) {
    return Sets::StartTime;
  }
  return word.starts_with("+") ? Sets::Span : Sets::Nothing;
}

std::vector<std::string> splitWords(std::string_view words) {
  std::vector<std::string> out;
  std::istringstream in{std::string(words)};
  for (std::string word; in >> word;) {
    out.push_back(word);
  }
  return out;
}

// The first line of what the command line said, for a diagnostic or the log.
std::string firstLine(const std::string& said) {
  const size_t begin = said.find_first_not_of("\n ");
  if (begin == std::string::npos) {
    return "the options cannot be read";
  }
  const size_t end = said.find('\n', begin);
  std::string line = said.substr(begin, end == std::string::npos ? end : end - begin);
  while (!line.empty() && line.back() == ' ') {
    line.pop_back();
  }
  return line;
}

}  // namespace

RunSettings SettingsFrom(const std::tm& today) {
  RunSettings settings;
  settings.start.setDate(static_cast<int8_t>(today.tm_mon + 1), static_cast<int8_t>(today.tm_mday),
                         static_cast<int8_t>((today.tm_year + 1900 - 2000) % 100));
  settings.start.updateDateKey();
  return settings;
}

std::optional<std::string> ApplyOptionWords(std::string_view words, RunSettings& settings) {
  const std::vector<std::string> split = splitWords(words);
  std::vector<const char*> args;
  bool sets[4] = {};
  for (size_t i = 0; i < split.size(); ++i) {
    const Sets what = whatSets(split[i]);
    if (what == Sets::Nothing) {
      return split[i] +
             " is not for the editor: only -d, -t, the + options and --site set its span";
    }
    sets[static_cast<int>(what)] = true;
    args.push_back(split[i].c_str());
    if (split[i] == "--site" && i + 1 < split.size()) {
      args.push_back(split[++i].c_str());
    }
  }
  SessionOptions read;
  SimClock clock = settings.start;
  std::ostringstream said;
  if (!args.empty() && ReadCommandLine(args, read, clock, said)) {
    return firstLine(said.str());
  }
  if (CheckDayOfMonth(clock.ClockMonthCode(), clock.ClockDay(), clock.ClockYear()) !=
      CalendarStatus::Ok) {
    return "the start date is not a date of the calendar";
  }
  clock.updateDateKey();
  if (sets[static_cast<int>(Sets::StartDate)] || sets[static_cast<int>(Sets::StartTime)]) {
    settings.start = clock;
  }
  if (sets[static_cast<int>(Sets::Span)]) {
    settings.options.totalMinutes = read.totalMinutes;
    settings.options.spanGiven = true;
  }
  if (sets[static_cast<int>(Sets::Site)]) {
    settings.options.insight.site = read.insight.site;
  }
  return std::nullopt;
}

std::optional<OptionsComment> FindOptionsComment(std::string_view text) {
  size_t begin = 0;
  for (int line = 0; line < kCommentLines && begin <= text.size(); ++line) {
    size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view content = text.substr(begin, end - begin);
    // Only a comment line of its own: a ';' after a field may stand inside a quoted text.
    const size_t semicolon = content.find_first_not_of(" \t");
    if (semicolon != std::string_view::npos && content[semicolon] == ';') {
      std::string_view after = content.substr(semicolon + 1);
      after.remove_prefix(std::min(after.find_first_not_of(" \t"), after.size()));
      if (after.starts_with(kCommentMark)) {
        after.remove_prefix(kCommentMark.size());
        if (!after.empty() && after.back() == '\r') {
          after.remove_suffix(1);
        }
        return OptionsComment{after, begin + semicolon, end};
      }
    }
    begin = end + 1;
  }
  return std::nullopt;
}

}  // namespace quillmar::planprobe
