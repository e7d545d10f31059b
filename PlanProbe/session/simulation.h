// The minute loop: lets the simulated unit clock run over the span, reloading the day's events
// at every change of date and executing at most one event per minute.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "log/results_log.h"
#include "rules/due_minute.h"
#include "rules/minute_outcome.h"
#include "rules/sim_clock.h"
#include "schedule/event_list.h"
#include "schedule/parser.h"
#include "schedule/result_code.h"
#include "session/command_line.h"
#include "session/console.h"
#include "session/day_agenda.h"
#include "session/minute_run.h"

namespace quillmar::planprobe {

// Everything the loop works on; the session owns it all.
struct SimulationSetup {
  const SessionOptions& options;
  uint32_t initialSpan;  // the span the progress figure is measured against
  SimClock& clock;
  BootState& boot;
  EventList& events;
  ResultsLog& log;
  Console& console;
  // Rebuilds `events` with the events of the clock's day; FILE_OPEN_FAILED when the schedule
  // can no longer be read.
  std::function<ResultCode()> reloadSchedule;
  // Told of every day and of every minute with a due event; none by default, at no cost.
  std::span<MinuteObserver* const> observers = {};
};

// The usual `reloadSchedule`: parses the file at `path` (which must outlive the result) into
// `target` as the unit does at each change of date; sets `lost` once the file cannot be opened.
std::function<ResultCode()> ReloadFrom(const std::string& path, ParseTarget target, bool& lost);

class Simulation {
 public:
  explicit Simulation(const SimulationSetup& setup);

  // Runs the whole span. Minutes that cannot write anything are passed over in one step;
  // every other minute is run exactly as a pass of the minute-by-minute loop runs it.
  void run();
  // Runs the span on to the next change of date at most (one minute where the day cannot be
  // planned); false once the run is over. Steps run after each other make up run(), so that
  // two runs can go side by side.
  bool step();
  // Minutes of the span run so far: in a minute's observer call, the minute's place in the
  // span. Beyond every minute of the span once the run is over.
  uint64_t minutesTaken() const {
    return over_ ? UINT64_MAX : uint64_t{s_.initialSpan} - remaining_;
  }

  // The steps of one pass of the minute-by-minute loop, in loop order.

  // Simulated minutes still to go.
  uint32_t remaining() const { return remaining_; }
  // True when the clock's date differs from the one before the last step (always at first).
  bool dateChanged() const;
  // Writes the day's heading and reloads the day's events; false when that ends the run.
  bool LoadDay();
  // Writes the minute stamp and executes the minute; false when that ends the run. A minute
  // that executes and reports nothing leaves no trace in the log.
  bool runMinute();
  // Ends the pass: yields in nice mode, counts the minutes, shows the progress, steps the clock.
  void endPass();

 private:
  // The rest of the present day, or nothing in the boot minute and while the clock's month,
  // hour or minute is out of range: those minutes are always run with the whole list.
  std::optional<DayWindow> restOfDay() const;
  // Runs `day` from the agenda of its due minutes: each stretch of idle minutes is passed over
  // in one step, each other minute is run over the events on the agenda for it. Returns at the
  // change of date or the end of the span, true; false when the run is to end.
  bool runRestOfDay(const DayWindow& day);
  // Puts each loaded event on the agenda for every minute of `day` in which the minute test
  // could find it due or write a report.
  void planDay(const DayWindow& day);
  // Runs `minute` of the present day (the clock's) over the events on the agenda for it: only
  // they can be due or report anything in it. False when that ends the run.
  bool runAgendaMinute(int32_t minute);
  // Runs the present minute over `among` (the events whose minute test can say anything in
  // it), or over the whole list when null; `knownDue` when the test is known to find each of
  // `among` due without a report.
  bool runMinuteAmong(const std::vector<ScheduleEvent*>* among, bool knownDue = false);
  // Runs the present minute when `event` is the only one on its agenda and is known due: the
  // same log and changes as runMinuteAmong, with none of its general work. A fast path (about a
  // tenth of a long run's time): it must agree with the rules' minute test, precedence and
  // ExecuteMinute for a lone due event, which the differential test checks.
  void runSoleDueEvent(const ScheduleEvent& event);
  // Passes over `count` idle minutes of the present day, as that many passes would.
  void skipIdleMinutes(uint32_t count);
  // Counts `count` minutes off the span as one pass or as that many idle passes, showing the
  // progress as those passes would. Inline: it ends every minute that writes.
  void takeMinutes(uint32_t count, bool onePass) {
    if (s_.options.niceMode) {
      std::this_thread::yield();
    }
    const uint64_t before = s_.initialSpan - remaining_;
    remaining_ -= count;
    // The console line is rewritten only when its figure changes: writing it every minute
    // would make the console the bottleneck of a long run, and the terminal shows the same.
    if (s_.initialSpan - remaining_ >= nextFigureAt_) [[unlikely]] {
      showProgress(before, onePass);
    }
  }
  // Shows the figures due once the minutes after the first `before` of the span have been
  // taken, as takeMinutes does.
  void showProgress(uint64_t before, bool onePass);
  // The progress figure once `taken` minutes of the span have passed.
  int progressAfter(uint64_t taken) const;
  void rememberDate();
  // The clock's present date and time.
  SimMoment now() const;
  // Tells the observers what the present minute came to, from what the log holds since `stamp`.
  void tellObservers(ResultCode x, uint64_t stamp);

  SimulationSetup s_;
  uint32_t remaining_;
  bool over_ = false;          // the span is used up or the run was ended early
  int lastProgress_ = -1;      // the figure last shown; -1 before the first
  uint64_t nextFigureAt_ = 0;  // minutes taken at which the figure next changes
  int8_t lastYear_ = 0;
  int8_t lastMonth_ = 0;
  int8_t lastDay_ = 0;
  DayAgenda agenda_;  // the present day's, while it is run from its agenda
  // Per loaded event: whether the minute test is known to find it due in each of its agenda
  // minutes of the present day without a report (NextDueMinutes' `exact`).
  std::vector<bool> knownDue_;
  std::vector<ScheduleEvent*> due_;  // the events of the minute being run, in list order
  WatchedMinute watched_;            // the minute's outcome, while observers watch
};

}  // namespace quillmar::planprobe
