// The unit's event rules: which events a day loads, which loaded event is due in a minute,
// and which single event wins a minute that two or more want. These model the unit's
// firmware, quirks included, so that the simulation predicts what the unit will do.
//
// rules/ is this folder: the rules alone, with no knowledge of the results log or of the
// minute loop. It may use the event record of schedule/ and the arithmetic of calendar/; what
// the rules find wrong on the way goes out through RuleReports, which the session points at
// the log.
#pragma once

#include "rules/sim_clock.h"
#include "schedule/result_code.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// Receives the failures the rules meet on the way, with the context text they were given
// (the line number text, or null).
class RuleReports {
 public:
  virtual void report(ResultCode code, const char* context) = 0;

 protected:
  ~RuleReports() = default;
};

// What the event tests read (the clock) and write (the boot state, reports).
struct TimingContext {
  const SimClock& clock;
  BootState& boot;
  RuleReports& reports;
};

// The day test, run with the clock at the day's first simulated minute: SUCCESS when `event`
// joins the day's list, NOT_TODAY when it does not, BAD_EVENT_POINTER, BAD_REPEAT_PERIOD or
// ERR_BAD_BEHAVIOR_TYPE. `context` (the line number text) goes in front of its reports. A
// Boot-period event whose start date has passed takes the boot time as its start time.
ResultCode LoadsToday(TimingContext& ctx, ScheduleEvent* event, const char* context);

// The minute test of a loaded event: SUCCESS when it is due in the clock's present minute,
// NOT_TODAY when not, BAD_EVENT_POINTER, BAD_REPEAT_PERIOD or ERR_BAD_BEHAVIOR_TYPE.
ResultCode IsDueNow(TimingContext& ctx, const ScheduleEvent* event);

// Settles a double occupancy between the present winner `a` and the next due event `b`
// (later in list order): returns the one that wins, or null when the rules give no winner.
// Clears the BOOT_START bit of the events it settles by their start times.
ScheduleEvent* PickPrecedence(TimingContext& ctx, ScheduleEvent* a, ScheduleEvent* b);

}  // namespace quillmar::planprobe
