// What the schedule parser needs of the program that runs it: the simulated clock, the boot
// time and the day test. The session implements it; the parser knows nothing else of it.
#pragma once

#include <cstdint>

#include "calendar/solar.h"
#include "schedule/result_code.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// The simulated clock as it stands: year offset, month number 1..12, day, hour, minute.
struct ClockReading {
  int8_t year;
  int8_t month;
  int8_t day;
  int8_t hour;
  int8_t minute;
  int32_t dateKey;
};

// The unit's boot time; hour and minute stay 255 until the first parse takes them.
struct BootTime {
  uint8_t hour;
  uint8_t minute;
};

class ScheduleHost {
 public:
  virtual ~ScheduleHost() = default;
  // The clock at the moment of the call.
  virtual ClockReading clockNow() const = 0;
  // Takes the clock's date and time as the boot time, unless it has been taken already or
  // the boot minute is over. Called at the start of every parse.
  virtual void captureBootTime() = 0;
  // The boot time taken by the first parse.
  virtual BootTime bootTime() const = 0;
  // The day test: SUCCESS when `event` is to be loaded today, NOT_TODAY when it is not, or an
  // error code. `context` is the line number text for any report the test writes.
  virtual ResultCode loadsToday(ScheduleEvent& event, const char* context) = 0;
  // The unit's site, for sunrise and sunset: the fixed one unless the host knows better.
  virtual SiteProvider site() const { return GetSiteParameters; }
};

}  // namespace quillmar::planprobe
