#include "insight/finding_text.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace quillmar::planprobe {

namespace {

struct Explained {
  ResultCode code;
  std::string_view name;
  std::string_view explanation;
};

// One entry per code the analysis can report about a line, and the rest for completeness.
constexpr std::array<Explained, 41> kExplained{{
    {REJECTED_RESPONSE, "REJECTED_EVENT",
     "a repeating event needs a repeat count (R:) of 1 to 127, so the line is not loaded"},
    {NO_MATCH, "NO_MATCH", "the event has no device command"},
    {BAD_POINTER, "BAD_POINTER", "the reader was given no buffer"},
    {BAD_EVENT_POINTER, "BAD_EVENT_POINTER", "there is no event record to work on"},
    {BAD_FILE_POINTER, "BAD_FILE_POINTER", "the schedule file is not open"},
    {EVENT_HAS_BAD_DATA, "EVENT_HAS_BAD_DATA", "the event holds bad data"},
    {SCHEDULE_FILE_INVALID, "SCHEDULE_FILE_INVALID", "the schedule file is not valid"},
    {BAD_REPEAT_PERIOD, "BAD_REPEAT_PERIOD", "the repeat period is not one the unit knows"},
    {ERR_BAD_BEHAVIOR_TYPE, "ERR_BAD_BEHAVIOR_TYPE", "the event's class is not one the unit knows"},
    {MALLOC_FAILURE, "MALLOC_FAILURE", "the program ran out of memory"},
    {BAD_BUFFER_POINTER, "BAD_BUFFER_POINTER", "there is no text to parse"},
    {BAD_STARTHOUR, "BAD_STARTHOUR",
     "the start time (T:) must be two-digit hours 0 to 23, a colon and two-digit minutes, or "
     "SUNRISE, SUNSET or BOOT right after the colon"},
    {BAD_STARTMIN, "BAD_STARTMIN", "the start minute must be two digits, 00 to 59"},
    {BAD_STARTTIME, "BAD_STARTTIME", "the start hour and minute must be separated by a colon"},
    {BAD_STARTDAY, "BAD_STARTDAY", "the start day must be a number of one or two digits"},
    {BAD_STARTMONTH, "BAD_STARTMONTH", "the start month (D:) must be 1 to 12"},
    {BAD_STARTYEAR, "BAD_STARTYEAR", "the start year must be two digits (or four, 20yy)"},
    {BAD_STARTDATE, "BAD_STARTDATE",
     "the start date must be mm.dd.yy with '.', '-' or '/' between, on a day its month has"},
    {BAD_ENDHOUR, "BAD_ENDHOUR",
     "the end time (I:) must be two-digit hours 0 to 23, a colon and two-digit minutes, or "
     "SUNRISE or SUNSET"},
    {BAD_ENDMIN, "BAD_ENDMIN", "the end minute must be two digits, 00 to 59"},
    {BAD_ENDTIME, "BAD_ENDTIME", "the end hour and minute must be separated by a colon"},
    {BAD_ENDDAY, "BAD_ENDDAY", "the end day must be a number of one or two digits"},
    {BAD_ENDMONTH, "BAD_ENDMONTH", "the end month (A:) must be 1 to 12"},
    {BAD_ENDYEAR, "BAD_ENDYEAR", "the end year must be two digits (or four, 20yy)"},
    {BAD_ENDDATE, "BAD_ENDDATE",
     "the end date must be mm.dd.yy with '.', '-' or '/' between, on a day its month has"},
    {BAD_SET, "BAD_SET", "the set (S:) must be MONTH or the name of a month"},
    {BAD_EVENT, "BAD_EVENT", "the event (E:) must be one the unit knows, such as ON or SENDSTRING"},
    {BAD_DATA_PARAM, "BAD_DATA_PARAM", "a data parameter is malformed"},
    {BAD_DATA_PARAM1, "BAD_DATA_PARAM1",
     "data parameter 1: must be numbers (h for hex) or quoted text with known escapes, and "
     "ends the line's fields"},
    {BAD_DATA_PARAM2, "BAD_DATA_PARAM2",
     "data parameter 2: must be numbers (h for hex) or quoted text with known escapes"},
    {BAD_DATA_PARAM3, "BAD_DATA_PARAM3",
     "data parameter 3: must be numbers (h for hex) or quoted text with known escapes"},
    {BAD_DATA_PARAM4, "BAD_DATA_PARAM4",
     "data parameter 4: must be numbers (h for hex) or quoted text with known escapes"},
    {BAD_DATE, "BAD_DATE", "the date does not exist"},
    {BAD_DAY, "BAD_DAY", "the day lies beyond the end of its month"},
    {BAD_DATA_POINTER, "BAD_DATA_POINTER", "a data parameter has no place to go"},
    {BAD_MONTH, "BAD_MONTH",
     "the event has no valid start date, so its times cannot be worked out"},
    {BAD_PERIOD, "BAD_PERIOD",
     "the period (P:) must be DAY, a weekday, MINUTE, HOUR, YEAR, SUNRISE, SUNSET or BOOT"},
    {BAD_FILE_NAME, "BAD_FILE_NAME", "no schedule file was named"},
    {FILE_OPEN_FAILED, "FILE_OPEN_FAILED", "the schedule file cannot be opened"},
    {BAD_GEOGRAPHICAL_PARAMS, "BAD_GEOGRAPHICAL_PARAMS", "the site parameters are out of range"},
    {ENDDATE_EARLIER, "ENDDATE_EARLIER",
     "the end date lies before the start date, so the event is never loaded"},
}};

}  // namespace

FindingText DescribeFinding(ResultCode code) {
  for (const Explained& e : kExplained) {
    if (e.code == code) {
      return {std::string(e.name), e.explanation, code == ENDDATE_EARLIER};
    }
  }
  // Codes without a message of their own, as the log shows them.
  const bool warning = code >= FIRST_WARNING;
  return {(warning               ? "WARNING_"
           : code >= FIRST_ERROR ? "ERROR_"
                                 : "RESPONSE_") +
              std::to_string(code),
          "the unit reports this code without a message of its own", warning};
}

PhysicalLines::PhysicalLines(std::string_view text) : text_(text) {
  starts_.push_back(0);
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    starts_.push_back(at + 1);
  }
}

SourcePlace PhysicalLines::placeOf(size_t offset) const {
  offset = std::min(offset, text_.size());
  const auto next = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const size_t start = *(next - 1);
  const size_t end = next == starts_.end() ? text_.size() : *next - 1;
  std::string_view line = text_.substr(start, end - start);
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return {static_cast<uint32_t>(next - starts_.begin()), static_cast<uint32_t>(offset - start + 1),
          line};
}

std::vector<uint32_t> PhysicalLineNumbers(const ParsedSchedule& parsed, std::string_view text) {
  const PhysicalLines lines(text);
  std::vector<uint32_t> physical;
  for (const ParsedLine& line : parsed.lines) {
    if (physical.size() <= line.number) {
      physical.resize(line.number + 1, 0);
    }
    physical[line.number] = lines.placeOf(line.start).line;
  }
  return physical;
}

void WriteDiagnostics(std::ostream& out, const std::string& file,
                      const std::vector<Finding>& findings, std::string_view sourceText) {
  const PhysicalLines lines(sourceText);
  for (const Finding& finding : findings) {
    const FindingText text = DescribeFinding(finding.code);
    const SourcePlace place = lines.placeOf(finding.at);
    out << file << ':' << place.line << ':' << place.column << ": "
        << (text.warning ? "warning" : "error") << ": " << text.name << ": " << text.explanation
        << "\n  " << place.text << "\n  ";
    // Tabs stay tabs and a character of several bytes takes one place, so the caret stands
    // under the tag however the line is shown.
    for (const char c : place.text.substr(0, place.column - 1)) {
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        out << (c == '\t' ? '\t' : ' ');
      }
    }
    out << "^\n";
  }
}

}  // namespace quillmar::planprobe
