#include "session/clock_step.h"

#include "calendar/calendar.h"

namespace quillmar::planprobe {

namespace {

// The last day of `month` as the clock sees it; month values outside 1..12 have 31 days.
int lastDayOfMonth(int month, int yearOffset) {
  switch (month) {
    case 2:
      return IsLeapYear(yearOffset) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    default:
      return 31;
  }
}

}  // namespace

void AdvanceClock(SimClock& clock, bool hourStep) {
  // Worked in int: a start time such as 99:99 plus an hour's step leaves the 8-bit range.
  const int minute = clock.ClockMinute() + (hourStep ? 61 : 1);
  int hour = clock.ClockHour();
  if (minute < 60) {
    clock.setTime(static_cast<int8_t>(hour), static_cast<int8_t>(minute));
    return;
  }
  hour += 1;
  if (hour < 24) {
    clock.setTime(static_cast<int8_t>(hour), 0);
    return;
  }
  int day = clock.ClockDay() + 1;
  int month = clock.ClockMonth();
  int year = clock.ClockYear();
  if (day > lastDayOfMonth(month, year)) {
    month += 1;
    day = 1;
  }
  if (month > 12) {
    month = 1;
    day = 1;
    year = (year + 1) % 100;
  }
  clock.setTime(0, 0);
  clock.setDate(static_cast<int8_t>(month), static_cast<int8_t>(day), static_cast<int8_t>(year));
  clock.updateDateKey();
}

}  // namespace quillmar::planprobe
