// Where a loaded event next falls due within the simulated day, found from its repeat grid
// instead of by testing minute after minute.
#pragma once

#include <cstdint>
#include <limits>

#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// The rest of a simulated day on the schedule time line, outside the boot minute, with a
// clock whose month, hour and minute are in range.
struct DayWindow {
  int32_t first;    // the present minute
  int32_t last;     // 23:59 of the present day
  int32_t dateKey;  // the clock's DateKey
  uint8_t weekday;  // the clock's weekday code
};

inline constexpr int32_t kNoDueMinute = std::numeric_limits<int32_t>::max();

// Minutes of a day: `first`, then every `step` minutes while not after `last`; `first` alone
// when `step` is 0, and none when `first` is kNoDueMinute.
struct DueMinutes {
  int32_t first = kNoDueMinute;
  int32_t step = 0;
  int32_t last = 0;
  // True when the minute test finds the event due in each of these minutes, and in none of
  // them writes a report; false when it may instead answer NOT_TODAY or report a fault.
  bool exact = true;
};

// The minutes of `day` in which the minute test could find `event` due or write a report:
// every such minute is among them, and for a sound event no other. An event whose tests report at
// every minute answers every minute from its start on. Within a day the minute test changes nothing
// that this depends on, so the answer holds for the whole day.
DueMinutes NextDueMinutes(const ScheduleEvent& event, const DayWindow& day);

}  // namespace quillmar::planprobe
