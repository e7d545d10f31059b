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

// The first minute of `day` in which the minute test would find `event` due or would write
// any report, or kNoDueMinute when there is none. Never later than the true first such
// minute: an event whose tests report at every minute answers `day.first`.
int32_t NextDueMinute(const ScheduleEvent& event, const DayWindow& day);

}  // namespace quillmar::planprobe
