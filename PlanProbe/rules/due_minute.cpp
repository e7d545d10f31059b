#include "rules/due_minute.h"

#include <algorithm>

#include "calendar/calendar.h"
#include "rules/event_rules.h"

namespace quillmar::planprobe {

namespace {

// The minute of `day` whose clock reads the event's start hour and minute, if it lies in
// [from, to].
int32_t atStartTimeOfDay(const ScheduleEvent& e, const DayWindow& day, int32_t from, int32_t to) {
  if (e.startHour > 23 || e.startMinute > 59) {
    return kNoDueMinute;  // a clock in range never reads it
  }
  const int32_t minute = day.last - (kMinutesPerDay - 1) + e.startHour * 60 + e.startMinute;
  return minute >= from && minute <= to ? minute : kNoDueMinute;
}

// The first point at or after `from` of the grid of `length` minutes through `start`
// (from >= start), if it lies at or before `to`.
int32_t nextGridPoint(int32_t start, int32_t length, int32_t from, int32_t to) {
  const int32_t offset = (from - start) % length;
  const int32_t minute = offset == 0 ? from : from + length - offset;
  return minute <= to ? minute : kNoDueMinute;
}

}  // namespace

DueMinutes NextDueMinutes(const ScheduleEvent& e, const DayWindow& day) {
  constexpr DueMinutes kNone{};
  const auto once = [](int32_t minute) { return DueMinutes{minute, 0, minute}; };
  if (!isValidMonthCode(e.startMonth)) {
    return {day.first, 1, day.last, false};  // the start month is reported every minute
  }
  const int32_t start = startOf(e).minutes;
  if (e.period == PERIOD_BOOT && e.startKey != day.dateKey) {
    return kNone;
  }
  // Nothing is due, and nothing reported, before the event's start.
  const int32_t from = std::max(day.first, start);
  int32_t to = day.last;
  if (from > to) {
    return kNone;
  }
  const DueMinutes everyMinute{from, 1, to, false};  // reported every minute from the start on
  switch (classRule(e)) {
    case ClassRule::OneShot:
      return start == from ? once(start) : kNone;
    case ClassRule::WithEnd:
      if (!isValidMonthCode(e.endMonth)) {
        return everyMinute;  // the end month is reported
      }
      to = std::min(to, endOf(e).minutes);
      if (from > to) {
        return kNone;
      }
      break;
    case ClassRule::Repeating:
      break;
    case ClassRule::Unknown:
      return everyMinute;
  }
  switch (periodRule(e)) {
    case PeriodRule::Year:
      return once(atStartTimeOfDay(e, day, from, to));
    case PeriodRule::Weekday:
      if (e.startKey != day.dateKey && day.weekday != e.period) {
        return kNone;
      }
      return once(atStartTimeOfDay(e, day, from, to));
    case PeriodRule::Unknown:
      return everyMinute;  // the period is reported
    case PeriodRule::Grid:
      break;
  }
  if (hasMonthSet(e)) {
    return once(atStartTimeOfDay(e, day, from, to));
  }
  if (e.repeat < 1) {
    return everyMinute;  // the repeat phase is reported
  }
  const int32_t length = gridUnit(e) * e.repeat;
  return {nextGridPoint(start, length, from, to), length, to};
}

}  // namespace quillmar::planprobe
