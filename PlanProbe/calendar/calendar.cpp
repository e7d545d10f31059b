// Calendar arithmetic on the schedule time line.
#include "calendar/calendar.h"

#include <array>

namespace quillmar::planprobe {
namespace {

constexpr int kFirstMonthCode = 31;
constexpr int kLastMonthCode = 42;
constexpr int kLastYearOffset = 127;  // largest signed 8-bit offset

constexpr bool leapYear(int yearOffset) {
  const int year = 2000 + yearOffset;
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// Days before the first of each month in a common year, January first.
constexpr std::array<std::int32_t, 12> kDaysBeforeMonth = {0,   31,  59,  90,  120, 151,
                                                           181, 212, 243, 273, 304, 334};

// Schedule minute of 1 January of each year offset 0..127.
constexpr std::array<std::int32_t, kLastYearOffset + 1> kYearStarts = [] {
  std::array<std::int32_t, kLastYearOffset + 1> starts{};
  for (int offset = 1; offset <= kLastYearOffset; ++offset) {
    starts[offset] = starts[offset - 1] + (leapYear(offset - 1) ? 366 : 365) * kMinutesPerDay;
  }
  return starts;
}();

}  // namespace

bool IsLeapYear(int yearOffset) {
  return leapYear(yearOffset);
}

CalendarStatus CheckDayOfMonth(std::int8_t monthCode, std::int8_t day, std::int8_t yearOffset) {
  int lastDay = 31;
  switch (monthCode) {
    case 32:
      lastDay = IsLeapYear(yearOffset) ? 29 : 28;
      break;
    case 34:
    case 36:
    case 39:
    case 41:
      lastDay = 30;
      break;
    default:
      break;
  }
  return day > lastDay ? CalendarStatus::BadDay : CalendarStatus::Ok;
}

CalendarMinutes MinutesSince2000(std::int8_t yearOffset, std::int8_t monthCode, std::int8_t day,
                                 std::int8_t hour, std::int8_t minute) {
  std::int32_t result = minute + 60 * hour + kMinutesPerDay * (day - 1);
  CalendarStatus status = CalendarStatus::Ok;
  if (monthCode >= kFirstMonthCode && monthCode <= kLastMonthCode) {
    const int month = monthCode - 30;
    result += kDaysBeforeMonth[month - 1] * kMinutesPerDay;
    if (month > 2 && IsLeapYear(yearOffset)) {
      result += kMinutesPerDay;
    }
  } else {
    status = CalendarStatus::BadMonth;
  }
  if (yearOffset > 0) {
    result += kYearStarts[yearOffset];
  }
  return {result, status};
}

std::uint8_t WeekdayCode(int yearOffset, std::int8_t monthCode, std::int8_t day) {
  // Month-shifted Gregorian formula; the divisions truncate toward zero as C++'s do.
  const int m = monthCode - 30;
  const int a = (14 - m) / 12;
  const int y = yearOffset - a;
  const int n = m + 12 * a - 2;
  int w = (day + y + y / 4 - y / 100 + y / 400 + (31 * n) / 12) % 7;
  if (yearOffset == 0 && m < 3) {
    // January and February 2000 give a negative y, whose truncated quarters land one day late.
    w = w == 0 ? 6 : w - 1;
  }
  if (w < 0 || w > 6) {
    return statusCode(CalendarStatus::BadDate);
  }
  return static_cast<std::uint8_t>(kSunday + w);
}

CalendarMinutes RepeatPhase(std::int8_t periodCode, std::int8_t repeat, std::int32_t eventStart,
                            std::int32_t now) {
  const std::int32_t unit = RepeatUnitMinutes(periodCode);
  if (unit == 0 || repeat < 1) {
    return {65535, CalendarStatus::BadPeriod};
  }
  const std::int32_t length = unit * repeat;
  const std::int32_t r = (eventStart - now) % length;
  if (r < 0 && -r > now % kMinutesPerDay) {
    return {r + length, CalendarStatus::Ok};
  }
  return {r, CalendarStatus::Ok};
}

}  // namespace quillmar::planprobe
