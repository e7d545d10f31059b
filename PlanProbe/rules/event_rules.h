// The unit's description of its repeat periods, and the small facts about events that the day
// test, the minute test, precedence and the due-minute grid share. Each period is described
// once, in kPeriods; the classes are described in schedule/event_class.h.
#pragma once

#include <array>
#include <cstdint>

#include "calendar/calendar.h"
#include "schedule/event_class.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// How the tests treat a repeat period.
enum class PeriodRule : uint8_t {
  Unknown,  // the tests answer BAD_REPEAT_PERIOD
  Grid,     // a grid of fixed length through the start; a month set picks one day instead
  Weekday,  // on one weekday; a month set picks one week of the month
  Year,     // on the start's day and month, every `repeat` years
};

// What one period code means.
struct PeriodDescription {
  int8_t period;
  PeriodRule rule;
  int32_t unit;  // minutes per repeat of a Grid period; 0 for the others
};

// Every period the unit knows. Sunrise, Sunset and Boot repeat daily on the grid of their
// start; the parser and the day test move that start (sunrise, sunset, the boot time).
inline constexpr PeriodDescription kPeriods[] = {
    {PERIOD_DAY, PeriodRule::Grid, kMinutesPerDay},
    {PERIOD_SUNDAY, PeriodRule::Weekday, 0},
    {PERIOD_SUNDAY + 1, PeriodRule::Weekday, 0},
    {PERIOD_SUNDAY + 2, PeriodRule::Weekday, 0},
    {PERIOD_SUNDAY + 3, PeriodRule::Weekday, 0},
    {PERIOD_SUNDAY + 4, PeriodRule::Weekday, 0},
    {PERIOD_SUNDAY + 5, PeriodRule::Weekday, 0},
    {PERIOD_SATURDAY, PeriodRule::Weekday, 0},
    {PERIOD_MINUTE, PeriodRule::Grid, 1},
    {PERIOD_HOUR, PeriodRule::Grid, 60},
    {PERIOD_YEAR, PeriodRule::Year, 0},
    {PERIOD_SUNRISE, PeriodRule::Grid, kMinutesPerDay},
    {PERIOD_SUNSET, PeriodRule::Grid, kMinutesPerDay},
    {PERIOD_BOOT, PeriodRule::Grid, kMinutesPerDay},
};

// The description of period code `period`; Unknown for codes the unit does not know.
constexpr PeriodDescription describePeriod(int period) {
  for (const PeriodDescription& d : kPeriods) {
    if (d.period == period) {
      return d;
    }
  }
  return {static_cast<int8_t>(period), PeriodRule::Unknown, 0};
}

// kPeriods by period code, for a lookup in constant time.
inline constexpr std::array<PeriodDescription, 128> kPeriodByCode = [] {
  std::array<PeriodDescription, 128> byCode{};
  for (size_t code = 0; code < byCode.size(); ++code) {
    byCode[code] = describePeriod(static_cast<int>(code));
  }
  return byCode;
}();

// How the tests treat `event`'s period.
constexpr PeriodRule periodRule(const ScheduleEvent& event) {
  return event.period < 0 ? PeriodRule::Unknown
                          : kPeriodByCode[static_cast<size_t>(event.period)].rule;
}

// Minutes per repeat unit of `event`'s period: 0 unless it is a Grid period.
constexpr int32_t gridUnit(const ScheduleEvent& event) {
  return event.period < 0 ? 0 : kPeriodByCode[static_cast<size_t>(event.period)].unit;
}

// How the tests treat `event`'s class.
constexpr ClassRule classRule(const ScheduleEvent& event) {
  return describeClass(event).rule;
}

// True when the set names one month or every month: the event repeats on one day (Grid
// periods) or in one week of the month (weekday periods) instead of on its grid.
constexpr bool hasMonthSet(const ScheduleEvent& e) {
  return e.set >= SET_MONTH && e.set <= SET_DECEMBER;
}

// The schedule minute of the event's start, and of its end, with the calendar's status.
inline CalendarMinutes startOf(const ScheduleEvent& e) {
  return MinutesSince2000(static_cast<int8_t>(e.startYear), static_cast<int8_t>(e.startMonth),
                          static_cast<int8_t>(e.startDay), static_cast<int8_t>(e.startHour),
                          static_cast<int8_t>(e.startMinute));
}
inline CalendarMinutes endOf(const ScheduleEvent& e) {
  return MinutesSince2000(static_cast<int8_t>(e.endYear), static_cast<int8_t>(e.endMonth),
                          static_cast<int8_t>(e.endDay), static_cast<int8_t>(e.endHour),
                          static_cast<int8_t>(e.endMinute));
}

}  // namespace quillmar::planprobe
