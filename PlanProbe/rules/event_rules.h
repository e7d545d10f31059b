// Small facts about events that the day test, the minute test and the due-minute search share.
#pragma once

#include <cstdint>

#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// How the day and minute tests treat an event's class (its flags without BOOT_START).
enum class ClassRule { OneShot, WithEnd, Repeating, Unknown };

inline ClassRule classRule(const ScheduleEvent& e) {
  switch (e.flags & kClassMask) {
    case ONE_SHOT:
      return ClassRule::OneShot;
    case 4:
    case 6:
    case 7:
      return ClassRule::WithEnd;
    case 0:
    case 2:
    case 3:
      return ClassRule::Repeating;
    default:
      return ClassRule::Unknown;
  }
}

inline bool isWeekdayPeriod(int period) {
  return period >= PERIOD_SUNDAY && period <= PERIOD_SATURDAY;
}

// Minutes per repeat unit of the periods with a fixed grid (Day, Minute, Hour, Sunrise,
// Sunset, Boot); 0 for every other period.
inline int32_t gridUnit(int period) {
  switch (period) {
    case PERIOD_MINUTE:
      return 1;
    case PERIOD_HOUR:
      return 60;
    case PERIOD_DAY:
    case PERIOD_SUNRISE:
    case PERIOD_SUNSET:
    case PERIOD_BOOT:
      return 1440;
    default:
      return 0;
  }
}

inline bool isGridPeriod(int period) {
  return gridUnit(period) != 0;
}

inline bool hasMonthSet(const ScheduleEvent& e) {
  return e.set >= SET_MONTH && e.set <= SET_DECEMBER;
}

}  // namespace quillmar::planprobe
