// The simulated unit clock and the boot state of the simulated unit.
#pragma once

#include <cstdint>

#include "calendar/calendar.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// Written only by the session at start and by the clock step of the minute loop; read by
// everyone else through the accessors.
class SimClock {
 public:
  // 1 January 2000, 00:00.
  SimClock() = default;

  int32_t ClockDateKey() const { return dateKey_; }
  int8_t ClockMonth() const { return month_; }  // the month number, not the month code
  int8_t ClockMonthCode() const { return monthCode(month_); }
  uint8_t ClockWeekday() const { return WeekdayCode(year_, monthCode(month_), day_); }
  int8_t ClockDay() const { return day_; }
  int8_t ClockYear() const { return year_; }  // year offset from 2000
  int8_t ClockHour() const { return hour_; }
  int8_t ClockMinute() const { return minute_; }
  // MinutesSince2000 of the clock's date and time, status included, without its arithmetic:
  // the value is linear in hour and minute, so only the date's first minute is kept.
  CalendarMinutes ClockMinutesSince2000() const {
    return {midnight_.minutes + 60 * hour_ + minute_, midnight_.status};
  }

  // Sets the date; the DateKey follows only with `updateDateKey`, as the session does that
  // after its start-date check.
  void setDate(int8_t month, int8_t day, int8_t year) {
    month_ = month;
    day_ = day;
    year_ = year;
    midnight_ = MinutesSince2000(year_, monthCode(month_), day_, 0, 0);
  }
  void setTime(int8_t hour, int8_t minute) {
    hour_ = hour;
    minute_ = minute;
  }
  void updateDateKey() { dateKey_ = dateKey(year_, month_, day_); }

 private:
  int8_t hour_ = 0;
  int8_t minute_ = 0;
  int8_t year_ = 0;
  int8_t month_ = 1;
  int8_t day_ = 1;
  int32_t dateKey_ = 0;
  CalendarMinutes midnight_{0, CalendarStatus::Ok};  // of 1 January 2000
};

// Whether the present minute is the unit's power-up, and when that was.
struct BootState {
  bool booting = true;
  uint8_t bootHour = 255;  // above 23 until taken
  uint8_t bootMinute = 255;
  int32_t bootDateKey = 0;
};

}  // namespace quillmar::planprobe
