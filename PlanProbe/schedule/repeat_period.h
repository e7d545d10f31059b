// Repeat periods ("P:") and the sets ("S:") that narrow them to a month: every code the unit
// knows, the word a schedule file names it by, the name the event report prints and how the
// day and minute tests treat it. One table each, read by the parser, the event report and the
// rules alike; the codes the program refers to take their numbers from them by name.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "calendar/calendar.h"
#include "schedule/code_table.h"

namespace quillmar::planprobe {

// How the day and minute tests treat a repeat period.
enum class PeriodRule : uint8_t {
  Unknown,  // the tests answer BAD_REPEAT_PERIOD
  Grid,     // a grid of fixed length through the start; a month set picks one day instead
  Weekday,  // on one weekday; a month set picks one week of the month
  Year,     // on the start's day and month, every `repeat` years
};

// The word of a field value: any word that begins with `text` names it, or, when `exact`, only
// `text` itself. Of several that match, the longest wins.
struct FieldWord {
  std::string_view text;
  bool exact = false;
};

// What one period code means.
struct PeriodDescription {
  int8_t code;
  FieldWord word;
  std::string_view name;  // as the event report prints it after "P:"
  PeriodRule rule;
  int32_t unit;  // minutes per repeat on the unit's repeat grid; 0 where there is none
};

// Every period the unit knows, in code order without gaps. Sunrise, Sunset and Boot repeat
// daily on the grid of their start; the parser and the day test move that start (sunrise,
// sunset, the boot time). A weekday's grid of a day serves the repeat phase only: the tests go
// by the weekday. "MONTH" in a period names Monday, as on the unit.
inline constexpr PeriodDescription kPeriods[] = {
    {10, {"DAY", true}, "Day", PeriodRule::Grid, kMinutesPerDay},
    {kSunday, {"SUN"}, "Sunday", PeriodRule::Weekday, kMinutesPerDay},
    {kSunday + 1, {"MON"}, "Monday", PeriodRule::Weekday, kMinutesPerDay},
    {kSunday + 2, {"TUE"}, "Tuesday", PeriodRule::Weekday, kMinutesPerDay},
    {kSunday + 3, {"WED"}, "Wednesday", PeriodRule::Weekday, kMinutesPerDay},
    {kSunday + 4, {"THU"}, "Thursday", PeriodRule::Weekday, kMinutesPerDay},
    {kSunday + 5, {"FRI"}, "Friday", PeriodRule::Weekday, kMinutesPerDay},
    {kSaturday, {"SAT"}, "Saturday", PeriodRule::Weekday, kMinutesPerDay},
    {18, {"MIN"}, "Minute", PeriodRule::Grid, 1},
    {19, {"HOU"}, "Hour", PeriodRule::Grid, 60},
    {20, {"YEA"}, "Year", PeriodRule::Year, 0},
    {21, {"SUNR"}, "Sunrise", PeriodRule::Grid, kMinutesPerDay},
    {22, {"SUNS"}, "Sunset", PeriodRule::Grid, kMinutesPerDay},
    {23, {"BOO"}, "Boot", PeriodRule::Grid, kMinutesPerDay},
};

// What one set code means: every month, or one month by its calendar month code.
struct SetDescription {
  int8_t code;
  FieldWord word;
  std::string_view name;  // as the event report prints it after "S:"
};

// Every set the unit knows, in code order without gaps.
inline constexpr SetDescription kSets[] = {
    {30, {"MON"}, "Month"},
    {monthCode(1), {"JAN"}, "January"},
    {monthCode(2), {"FEB"}, "February"},
    {monthCode(3), {"MAR"}, "March"},
    {monthCode(4), {"APR"}, "April"},
    {monthCode(5), {"MAY"}, "May"},
    {monthCode(6), {"JUN"}, "June"},
    {monthCode(7), {"JUL"}, "July"},
    {monthCode(8), {"AUG"}, "August"},
    {monthCode(9), {"SEP"}, "September"},
    {monthCode(10), {"OCT"}, "October"},
    {monthCode(11), {"NOV"}, "November"},
    {monthCode(12), {"DEC"}, "December"},
};

// The description of period code `code`; null for a code the unit does not know.
constexpr const PeriodDescription* findPeriod(int code) {
  return findCode(kPeriods, code);
}

// The description of set code `code`; null for a code the unit does not know.
constexpr const SetDescription* findSet(int code) {
  return findCode(kSets, code);
}

// The name of weekday code `code` (kSunday..kSaturday) as its period calls it; empty for a
// code that names no weekday.
constexpr std::string_view weekdayName(int code) {
  const PeriodDescription* period = findPeriod(code);
  return period != nullptr && period->rule == PeriodRule::Weekday ? period->name : "";
}

// The periods and sets the program refers to by name.
enum PeriodCode : int8_t {
  PERIOD_DAY = codeCalled(kPeriods, "Day"),
  PERIOD_MINUTE = codeCalled(kPeriods, "Minute"),
  PERIOD_HOUR = codeCalled(kPeriods, "Hour"),
  PERIOD_YEAR = codeCalled(kPeriods, "Year"),
  PERIOD_SUNRISE = codeCalled(kPeriods, "Sunrise"),
  PERIOD_SUNSET = codeCalled(kPeriods, "Sunset"),
  PERIOD_BOOT = codeCalled(kPeriods, "Boot"),
};
enum SetCode : int8_t {
  SET_MONTH = codeCalled(kSets, "Month"),
  SET_DECEMBER = codeCalled(kSets, "December"),
};

// The calendar's repeat phase counts with the grids of its own copy of the period codes
// (calendar/ may not include this file): each must be the period's.
// It finds the rows by index, not through findPeriod(): GCC's null-pointer sanitizer makes a
// comparison with null no constant expression.
constexpr bool repeatUnitsAgree() {
  constexpr int kRows = static_cast<int>(std::size(kPeriods));
  for (int code = -128; code < 128; ++code) {
    const int row = code - kPeriods[0].code;
    if (RepeatUnitMinutes(code) != (row >= 0 && row < kRows ? kPeriods[row].unit : 0)) {
      return false;
    }
  }
  return true;
}

static_assert(codesRise(kPeriods, true) && codesRise(kSets, true));
static_assert(keysDiffer(kPeriods, [](const PeriodDescription& p) { return p.word.text; }));
static_assert(keysDiffer(kSets, [](const SetDescription& s) { return s.word.text; }));
static_assert(keysDiffer(kPeriods, [](const PeriodDescription& p) { return p.name; }));
static_assert(keysDiffer(kSets, [](const SetDescription& s) { return s.name; }));
static_assert(repeatUnitsAgree());

}  // namespace quillmar::planprobe
