// Result codes: the unsigned 8-bit outcome of every planprobe operation.
// 0 is success, 1..149 responses, 150..224 errors, 225..255 warnings.
//
// kResultCodes is the one place a code is named: its number, its name, how the results log
// writes it and what it means to the user. The report writer and the findings both read it,
// and a code the program refers to takes its number from it by name, so adding a code is one
// row and a misspelt name fails the build.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "calendar/calendar_status.h"
#include "schedule/code_table.h"

namespace quillmar::planprobe {

using ResultCode = uint8_t;

// What one code is called, how the log writes it and what it means.
struct ResultCodeText {
  ResultCode code;
  std::string_view name;          // an error's log message is "Error: " and its name
  uint8_t tabs;                   // tab characters the log writes after an error's message
  std::string_view explanation;   // one plain sentence for the diagnostics
  std::string_view message = {};  // a warning's log message, in the unit's own words
};

// Every code with a name, in code order. The refused event's response carries the name of
// the classification's refusal (REJECTED_EVENT), as the unit's readers know it.
inline constexpr ResultCodeText kResultCodes[] = {
    {1, "REJECTED_EVENT", 0,
     "a repeating event needs a repeat count (R:) of 1 to 127, so the line is not loaded"},
    {150, "NO_MATCH", 3, "the event has no device command"},
    {151, "BAD_POINTER", 3, "the reader was given no buffer"},
    {152, "BAD_EVENT_POINTER", 1, "there is no event record to work on"},
    {153, "BAD_FILE_POINTER", 1, "the schedule file is not open"},
    {154, "EVENT_HAS_BAD_DATA", 1, "the event holds bad data"},
    {155, "SCHEDULE_FILE_INVALID", 0, "the schedule file is not valid"},
    {156, "BAD_REPEAT_PERIOD", 1, "the repeat period is not one the unit knows"},
    {157, "ERR_BAD_BEHAVIOR_TYPE", 0, "the event's class is not one the unit knows"},
    {158, "MALLOC_FAILURE", 2, "the program ran out of memory"},
    {159, "BAD_BUFFER_POINTER", 1, "there is no text to parse"},
    {160, "BAD_STARTHOUR", 2,
     "the start time (T:) must be two-digit hours 0 to 23, a colon and two-digit minutes, or "
     "SUNRISE, SUNSET or BOOT right after the colon"},
    {161, "BAD_STARTMIN", 2, "the start minute must be two digits, 00 to 59"},
    {162, "BAD_STARTTIME", 2, "the start hour and minute must be separated by a colon"},
    {163, "BAD_STARTDAY", 2, "the start day must be a number of one or two digits"},
    {164, "BAD_STARTMONTH", 2, "the start month (D:) must be 1 to 12"},
    {165, "BAD_STARTYEAR", 2, "the start year must be two digits (or four, 20yy)"},
    {166, "BAD_STARTDATE", 2,
     "the start date must be mm.dd.yy with '.', '-' or '/' between, on a day its month has"},
    {167, "BAD_ENDHOUR", 3,
     "the end time (I:) must be two-digit hours 0 to 23, a colon and two-digit minutes, or "
     "SUNRISE or SUNSET"},
    {168, "BAD_ENDMIN", 3, "the end minute must be two digits, 00 to 59"},
    {169, "BAD_ENDTIME", 3, "the end hour and minute must be separated by a colon"},
    {170, "BAD_ENDDAY", 3, "the end day must be a number of one or two digits"},
    {171, "BAD_ENDMONTH", 2, "the end month (A:) must be 1 to 12"},
    {172, "BAD_ENDYEAR", 3, "the end year must be two digits (or four, 20yy)"},
    {173, "BAD_ENDDATE", 3,
     "the end date must be mm.dd.yy with '.', '-' or '/' between, on a day its month has"},
    {174, "BAD_SET", 4, "the set (S:) must be MONTH or the name of a month"},
    {175, "BAD_EVENT", 3, "the event (E:) must be one the unit knows, such as ON or SENDSTRING"},
    {176, "BAD_DATA_PARAM", 2, "a data parameter is malformed"},
    {177, "BAD_DATA_PARAM1", 2,
     "data parameter 1: must be numbers (h for hex) or quoted text with known escapes, and "
     "ends the line's fields"},
    {178, "BAD_DATA_PARAM2", 2,
     "data parameter 2: must be numbers (h for hex) or quoted text with known escapes"},
    {179, "BAD_DATA_PARAM3", 2,
     "data parameter 3: must be numbers (h for hex) or quoted text with known escapes"},
    {180, "BAD_DATA_PARAM4", 2,
     "data parameter 4: must be numbers (h for hex) or quoted text with known escapes"},
    {181, "BAD_DATE", 3, "the date does not exist"},
    {182, "BAD_DAY", 4, "the day lies beyond the end of its month"},
    {183, "BAD_DATA_POINTER", 1, "a data parameter has no place to go"},
    {184, "BAD_MONTH", 3, "the event has no valid start date, so its times cannot be worked out"},
    {185, "BAD_PERIOD", 3,
     "the period (P:) must be DAY, a weekday, MINUTE, HOUR, YEAR, SUNRISE, SUNSET or BOOT"},
    {186, "BAD_FILE_NAME", 2, "no schedule file was named"},
    {187, "FILE_OPEN_FAILED", 1, "the schedule file cannot be opened"},
    {188, "BAD_GEOGRAPHICAL_PARAMS", 0, "the site parameters are out of range"},
    {225, "ENDDATE_EARLIER", 0,
     "the end date lies before the start date, so the event is never loaded",
     "Warning: ENDDATE IS EARLIER THAN STARTDATE - EVENT WILL NOT BE LOADED"},
};

// kResultCodes by code, for a lookup in constant time: the row's index, or -1.
inline constexpr std::array<int8_t, 256> kResultCodeRows = [] {
  std::array<int8_t, 256> rows{};
  rows.fill(-1);
  for (size_t row = 0; row < std::size(kResultCodes); ++row) {
    rows[kResultCodes[row].code] = static_cast<int8_t>(row);
  }
  return rows;
}();

// The row of `code`; null for a code without a name.
constexpr const ResultCodeText* findResultCode(ResultCode code) {
  const int row = kResultCodeRows[code];
  return row < 0 ? nullptr : &kResultCodes[row];
}

// The code called `name`; a name the table lacks is no constant, and the build fails.
consteval ResultCode codeNamed(std::string_view name) {
  return codeCalled(kResultCodes, name);
}

// The codes the program raises or compares against: the range boundaries, the responses
// (which the log writes as bare numbers) and, by name, the coded rows it needs.
enum : ResultCode {
  SUCCESS = 0,
  REJECTED_RESPONSE = codeNamed("REJECTED_EVENT"),  // the parser's report of a refused event
  REJECTED_EVENT = 75,                              // the classification's refusal
  NOT_TODAY = 76,
  FIRST_ERROR = 150,
  NO_MATCH = codeNamed("NO_MATCH"),
  BAD_EVENT_POINTER = codeNamed("BAD_EVENT_POINTER"),
  BAD_FILE_POINTER = codeNamed("BAD_FILE_POINTER"),
  BAD_REPEAT_PERIOD = codeNamed("BAD_REPEAT_PERIOD"),
  ERR_BAD_BEHAVIOR_TYPE = codeNamed("ERR_BAD_BEHAVIOR_TYPE"),
  MALLOC_FAILURE = codeNamed("MALLOC_FAILURE"),
  BAD_STARTHOUR = codeNamed("BAD_STARTHOUR"),
  BAD_STARTMIN = codeNamed("BAD_STARTMIN"),
  BAD_STARTTIME = codeNamed("BAD_STARTTIME"),
  BAD_STARTDAY = codeNamed("BAD_STARTDAY"),
  BAD_STARTMONTH = codeNamed("BAD_STARTMONTH"),
  BAD_STARTYEAR = codeNamed("BAD_STARTYEAR"),
  BAD_STARTDATE = codeNamed("BAD_STARTDATE"),
  BAD_ENDHOUR = codeNamed("BAD_ENDHOUR"),
  BAD_ENDMIN = codeNamed("BAD_ENDMIN"),
  BAD_ENDTIME = codeNamed("BAD_ENDTIME"),
  BAD_ENDDAY = codeNamed("BAD_ENDDAY"),
  BAD_ENDMONTH = codeNamed("BAD_ENDMONTH"),
  BAD_ENDYEAR = codeNamed("BAD_ENDYEAR"),
  BAD_ENDDATE = codeNamed("BAD_ENDDATE"),
  BAD_SET = codeNamed("BAD_SET"),
  BAD_EVENT = codeNamed("BAD_EVENT"),
  BAD_DATA_PARAM = codeNamed("BAD_DATA_PARAM"),
  BAD_DATA_PARAM1 = codeNamed("BAD_DATA_PARAM1"),
  BAD_MONTH = codeNamed("BAD_MONTH"),
  BAD_PERIOD = codeNamed("BAD_PERIOD"),
  BAD_FILE_NAME = codeNamed("BAD_FILE_NAME"),
  FILE_OPEN_FAILED = codeNamed("FILE_OPEN_FAILED"),
  FIRST_WARNING = 225,
  ENDDATE_EARLIER = codeNamed("ENDDATE_EARLIER"),
};

// True when each row carries what its writer needs: an error its name and tabs, a warning
// its own message, a response neither; and every row an explanation.
constexpr bool resultCodesAreSound() {
  for (const ResultCodeText& r : kResultCodes) {
    const bool error = r.code >= FIRST_ERROR && r.code < FIRST_WARNING;
    if ((r.code >= FIRST_WARNING) == r.message.empty() || (!error && r.tabs != 0) || r.tabs > 4 ||
        r.explanation.empty()) {
      return false;
    }
  }
  return true;
}
static_assert(codesRise(kResultCodes, false));
static_assert(keysDiffer(kResultCodes, [](const ResultCodeText& r) { return r.name; }));
static_assert(resultCodesAreSound());

// The calendar reports its failures by these codes' numbers, but may not include this file.
static_assert(statusCode(CalendarStatus::Ok) == SUCCESS);
static_assert(statusCode(CalendarStatus::BadDate) == codeNamed("BAD_DATE"));
static_assert(statusCode(CalendarStatus::BadDay) == codeNamed("BAD_DAY"));
static_assert(statusCode(CalendarStatus::BadMonth) == BAD_MONTH);
static_assert(statusCode(CalendarStatus::BadPeriod) == BAD_PERIOD);
static_assert(statusCode(CalendarStatus::BadGeographicalParams) ==
              codeNamed("BAD_GEOGRAPHICAL_PARAMS"));

// True for the codes that end an operation: errors and warnings alike.
constexpr bool isFailure(ResultCode code) {
  return code >= FIRST_ERROR;
}

}  // namespace quillmar::planprobe
