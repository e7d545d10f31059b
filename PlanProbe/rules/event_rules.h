// The small facts about events that the day test, the minute test, precedence and the
// due-minute grid share. The unit's repeat periods and sets are described once, in
// schedule/repeat_period.h, and its classes in schedule/event_class.h.
#pragma once

#include <cstdint>

#include "calendar/calendar.h"
#include "schedule/event_class.h"
#include "schedule/repeat_period.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// How the tests treat `event`'s period.
constexpr PeriodRule periodRule(const ScheduleEvent& event) {
  const PeriodDescription* period = findPeriod(event.period);
  return period == nullptr ? PeriodRule::Unknown : period->rule;
}

// Minutes per repeat unit of `event`'s period: 0 unless it is a Grid period.
constexpr int32_t gridUnit(const ScheduleEvent& event) {
  const PeriodDescription* period = findPeriod(event.period);
  return period != nullptr && period->rule == PeriodRule::Grid ? period->unit : 0;
}

// How the tests treat `event`'s class.
constexpr ClassRule classRule(const ScheduleEvent& event) {
  return describeClass(event).rule;
}

// True when the set names one month or every month: the event repeats on one day (Grid
// periods) or in one week of the month (weekday periods) instead of on its grid.
constexpr bool hasMonthSet(const ScheduleEvent& e) {
  return findSet(e.set) != nullptr;
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
