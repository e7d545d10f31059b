// One minute of the simulated unit: the due events are collected by the rules' minute test,
// a double occupancy is settled by their precedence, and the one winner is written to the
// device command log.
#pragma once

#include <span>
#include <vector>

#include "log/results_log.h"
#include "rules/event_timing.h"
#include "schedule/event_list.h"
#include "schedule/report_result.h"

namespace quillmar::planprobe {

// The rules' reports, written to the results log as the parser's are.
class LogReports final : public RuleReports {
 public:
  explicit LogReports(ResultsLog& log) : log_(log) {}
  void report(ResultCode code, const char* context) override { reportResult(log_, code, context); }

 private:
  ResultsLog& log_;
};

// The due events and the winner of a minute, kept for its observers.
struct WatchedMinute {
  std::vector<const ScheduleEvent*> due;
  const ScheduleEvent* winner = nullptr;
};

// The clock and boot state the rules run against, and the log that a minute writes to.
struct MinuteContext {
  MinuteContext(const SimClock& clock, BootState& boot, ResultsLog& resultsLog)
      : log(resultsLog), reports(resultsLog), timing{clock, boot, reports} {}
  MinuteContext(const MinuteContext&) = delete;
  MinuteContext& operator=(const MinuteContext&) = delete;

  ResultsLog& log;
  LogReports reports;
  TimingContext timing;
  // Receives the minute's due events and winner; null when nobody watches the run.
  WatchedMinute* watched = nullptr;
};

// Runs the clock's present minute: executes at most one due event of `events`. Returns 1 when
// an event was executed, BAD_EVENT when two due events had no precedence, NO_MATCH when the
// winner has no command, else the minute test's code for the last event (0 for no events).
// The boot minute ends with it.
ResultCode ExecuteMinute(MinuteContext& ctx, EventList& events);

// ExecuteMinute over only `events`, records of the list in list order. Gives the same log and
// the same changes to the events as ExecuteMinute on the whole list, provided the minute test
// of every record left out answers NOT_TODAY and writes nothing in this minute.
ResultCode ExecuteMinuteAmong(MinuteContext& ctx, std::span<ScheduleEvent* const> events);

// ExecuteMinuteAmong over `events` whose minute test is known to find each of them due in this
// minute without writing a report: the same log and changes, without running the test. A fast
// path of the minute loop (it saves about a tenth of a long run's time): it must agree with
// IsDueNow wherever NextDueMinutes says `exact`, which the differential test checks.
ResultCode ExecuteDueMinute(MinuteContext& ctx, std::span<ScheduleEvent* const> events);

// ExecuteMinute's result when the winner was executed.
constexpr ResultCode kExecuted = 1;

}  // namespace quillmar::planprobe
