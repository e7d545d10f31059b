// The unit's event rules: which events a day loads, which loaded event is due in a minute,
// and which single event wins a minute that two or more want. These model the unit's
// firmware, quirks included, so that the simulation predicts what the unit will do.
#pragma once

#include <span>

#include "schedule/event_list.h"
#include "schedule/result_code.h"
#include "schedule/results_log.h"
#include "schedule/schedule_event.h"
#include "sim_clock.h"

namespace quillmar::planprobe {

// What the event tests read (the clock) and write (the boot state, reports to the log).
struct TimingContext {
  const SimClock& clock;
  BootState& boot;
  ResultsLog& log;
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

// Runs the clock's present minute: executes at most one due event of `events`. Returns 1 when
// an event was executed, BAD_EVENT when two due events had no precedence, NO_MATCH when the
// winner has no command, else the minute test's code for the last event (0 for no events).
// The boot minute ends with it.
ResultCode ExecuteMinute(TimingContext& ctx, EventList& events);

// ExecuteMinute over only `events`, records of the list in list order. Gives the same log and
// the same changes to the events as ExecuteMinute on the whole list, provided the minute test
// of every record left out answers NOT_TODAY and writes nothing in this minute.
ResultCode ExecuteMinuteAmong(TimingContext& ctx, std::span<ScheduleEvent* const> events);

// ExecuteMinuteAmong over `events` whose minute test is known to find each of them due in this
// minute without writing a report: the same log and changes, without running the test.
ResultCode ExecuteDueMinute(TimingContext& ctx, std::span<ScheduleEvent* const> events);

// ExecuteMinute's result when the winner was executed.
constexpr ResultCode kExecuted = 1;

}  // namespace quillmar::planprobe
