// Calendar arithmetic on the schedule time line: minutes since 1 January 2000 00:00 of the
// unit's local clock, with no time zone or daylight-saving shift. Dates arrive as separate
// fields: a year offset (years since 2000), a month code (month + 30: 31 = January ..
// 42 = December), a day, an hour and a minute.
//
// calendar/ holds the calendar facts and arithmetic and the sunrise/sunset computation: pure
// functions of the dates they are given, using nothing but the standard library.
#pragma once

#include <cstdint>

#include "calendar/calendar_status.h"

namespace quillmar::planprobe {

// Weekday codes as returned by WeekdayCode; they equal the weekday repeat periods.
inline constexpr std::uint8_t kSunday = 11;
inline constexpr std::uint8_t kSaturday = 17;

inline constexpr std::int32_t kMinutesPerDay = 1440;

// Month codes are the month number plus 30; 0 stands for a date that was not given.
inline constexpr int kMonthCodeOffset = 30;

// The month code of month number `month`.
constexpr std::int8_t monthCode(int month) {
  return static_cast<std::int8_t>(month + kMonthCodeOffset);
}

// The month number of month code `code`.
constexpr int monthOfCode(int code) {
  return code - kMonthCodeOffset;
}

// True for the month codes of real months (31 January .. 42 December).
constexpr bool isValidMonthCode(int code) {
  return code > kMonthCodeOffset && code <= kMonthCodeOffset + 12;
}

// Year offset x 10000 + month x 100 + day: a date as one integer that orders correctly.
constexpr std::int32_t dateKey(int year, int month, int day) {
  return year * 10000 + month * 100 + day;
}

// A minute count together with the status the caller is to report when it is not Ok.
struct CalendarMinutes {
  std::int32_t minutes;
  CalendarStatus status;
};

// True when 2000 + yearOffset is a Gregorian leap year.
bool IsLeapYear(int yearOffset);

// Ok when `day` exists in the month (month codes outside 31..42 allow 31 days), BadDay when it
// lies beyond the month's last day. Only the upper bound is checked: day 0 passes.
CalendarStatus CheckDayOfMonth(std::int8_t monthCode, std::int8_t day, std::int8_t yearOffset);

// The schedule minute of the given date and time, in constant time. Day, hour and minute are
// not range-checked. A month code outside 31..42 counts as January and gives BadMonth along
// with the value; a negative year offset counts as 2000.
CalendarMinutes MinutesSince2000(std::int8_t yearOffset, std::int8_t monthCode, std::int8_t day,
                                 std::int8_t hour, std::int8_t minute);

// The weekday code (11 Sunday .. 17 Saturday) of the date, or BadDate's number when the
// arithmetic leaves 0..6, which no real date with a non-negative offset does.
std::uint8_t WeekdayCode(int yearOffset, std::int8_t monthCode, std::int8_t day);

// Minutes per repeat unit of period code `periodCode` on RepeatPhase's grid: a day for 10 (Day),
// the weekdays and 21..23 (Sunrise, Sunset, Boot), 1 for 18 (Minute), 60 for 19 (Hour); 0 for
// 20 (Year) and codes outside 10..23, which have no fixed length.
constexpr std::int32_t RepeatUnitMinutes(int periodCode) {
  constexpr std::int32_t kUnitMinutes[] = {
      1440, 1440, 1440, 1440, 1440, 1440, 1440, 1440,  // Day, Sunday .. Saturday
      1,    60,   0,    1440, 1440, 1440};             // Minute, Hour, Year, Sunrise, Sunset, Boot
  return periodCode < 10 || periodCode > 23 ? 0 : kUnitMinutes[periodCode - 10];
}

// Where `now` stands within the repeat grid of period `periodCode` x `repeat` that runs through
// `eventStart` (both schedule minutes): minutes until the next grid point, or -k when a grid
// point fell k minutes ago but not before today's midnight. Periods without a fixed length
// (Year, codes outside 10..23) and repeat counts below 1 give BadPeriod with 65535.
CalendarMinutes RepeatPhase(std::int8_t periodCode, std::int8_t repeat, std::int32_t eventStart,
                            std::int32_t now);

}  // namespace quillmar::planprobe
