#include "session/simulation.h"

#include <algorithm>
#include <ostream>

#include "calendar/calendar.h"
#include "log/log_text.h"
#include "rules/due_minute.h"
#include "rules/event_rules.h"
#include "rules/event_timing.h"
#include "schedule/repeat_period.h"
#include "session/clock_step.h"
#include "session/command_log.h"
#include "session/console.h"
#include "session/minute_run.h"

namespace quillmar::planprobe {

namespace {

constexpr const char* kStopOnErrors =
    "\nErrors or Warnings reported and option to stop on errors was used. Exiting.\n";
constexpr const char* kUnknownEventType =
    "Unknown Event Type.  This is not good.  Check your schedule or contact tech support.";
constexpr uint32_t kMinutesPerHour = 60;

// The weekday's name for the log's date line; "Unknown" for a code that is no weekday.
std::string_view dayName(uint8_t weekday) {
  const std::string_view name = weekdayName(weekday);
  return name.empty() ? "Unknown" : name;
}

}  // namespace

Simulation::Simulation(const SimulationSetup& setup)
    : s_(setup), remaining_(setup.options.totalMinutes) {}

bool Simulation::dateChanged() const {
  return s_.clock.ClockYear() != lastYear_ || s_.clock.ClockMonth() != lastMonth_ ||
         s_.clock.ClockDay() != lastDay_;
}

bool Simulation::LoadDay() {
  const SimClock& c = s_.clock;
  s_.log.write("\n\n");
  s_.log.write(dayName(c.ClockWeekday()));
  s_.log.print(" %02i.%02i.%02i\n--------------------------------", c.ClockMonth(), c.ClockDay(),
               c.ClockYear());
  s_.log.write("\nLoading Events:");
  if (s_.reloadSchedule() == FILE_OPEN_FAILED) {
    s_.log.print("Couldn't open %s.\n", s_.options.sourcePath.c_str());
    return false;
  }
  if (s_.options.stopOnErrors && s_.log.errorSeen()) {
    s_.console.write(kStopOnErrors);
    return false;
  }
  for (MinuteObserver* observer : s_.observers) {
    observer->dayStarted(now());
  }
  if (!s_.options.loadsOnly) {
    s_.log.write("\n\nExecuting Events:");
  }
  return true;
}

SimMoment Simulation::now() const {
  const SimClock& c = s_.clock;
  return {c.ClockYear(), c.ClockMonth(), c.ClockDay(), c.ClockHour(), c.ClockMinute()};
}

void Simulation::tellObservers(ResultCode x, uint64_t stamp) {
  if (watched_.due.empty()) {
    return;
  }
  const MinuteLine line = x == kExecuted               ? MinuteLine::Command
                          : watched_.winner == nullptr ? MinuteLine::NoPrecedence
                                                       : MinuteLine::Silent;
  const MinuteOutcome outcome{now(), watched_.due, watched_.winner, line,
                              s_.log.writtenSince(stamp).value_or(std::string_view())};
  for (MinuteObserver* observer : s_.observers) {
    observer->minuteSettled(outcome);
  }
}

bool Simulation::runMinute() {
  return runMinuteAmong(nullptr);
}

bool Simulation::runMinuteAmong(const std::vector<ScheduleEvent*>* among, bool knownDue) {
  const uint64_t stamp = s_.log.position();
  s_.log.holdFrom(stamp);
  writeMinuteStamp(s_.log, s_.clock.ClockHour(), s_.clock.ClockMinute());
  const uint64_t afterStamp = s_.log.position();
  MinuteContext minute(s_.clock, s_.boot, s_.log);
  const bool watched = !s_.observers.empty();
  if (watched) [[unlikely]] {
    watched_.due.clear();
    minute.watched = &watched_;
  }
  const ResultCode x = among == nullptr ? ExecuteMinute(minute, s_.events)
                       : knownDue       ? ExecuteDueMinute(minute, *among)
                                        : ExecuteMinuteAmong(minute, *among);
  if (x == BAD_EVENT) {
    s_.log.write(kUnknownEventType);
  }
  if (watched) [[unlikely]] {
    tellObservers(x, stamp);
  }
  if (s_.options.stopOnErrors && s_.log.errorSeen()) {
    s_.log.release();
    s_.console.write(kStopOnErrors);
    return false;
  }
  if (x != kExecuted && s_.log.position() == afterStamp) {
    s_.log.withdrawTo(stamp);
  }
  s_.log.release();
  return true;
}

void Simulation::runSoleDueEvent(const ScheduleEvent& event) {
  // What the whole minute comes to when one event is known due: it wins alone, nothing is
  // reported, and its command line is all the minute writes. The stop on errors cannot come
  // now: it would have come with the report that set it.
  const bool watched = !s_.observers.empty();
  const uint64_t stamp = s_.log.position();
  if (watched) [[unlikely]] {
    s_.log.holdFrom(stamp);
  }
  const bool command = HasCommand(event);
  if (command) {
    writeMinuteStamp(s_.log, s_.clock.ClockHour(), s_.clock.ClockMinute());
    ExecuteEvent(s_.log, &event, false);
  }
  s_.boot.booting = false;
  if (watched) [[unlikely]] {
    watched_.due.assign(1, &event);
    watched_.winner = &event;
    tellObservers(command ? kExecuted : ResultCode{NO_MATCH}, stamp);
    s_.log.release();
  }
}

int Simulation::progressAfter(uint64_t taken) const {
  return static_cast<int>(static_cast<double>(taken) / s_.initialSpan * 100);
}

void Simulation::showProgress(uint64_t before, bool onePass) {
  const uint64_t after = s_.initialSpan - remaining_;
  // Minutes passed over in one step show each figure that passing them one by one would have
  // shown.
  uint64_t taken = onePass ? after : std::max(before + 1, nextFigureAt_);
  while (taken <= after && taken >= nextFigureAt_) {
    const int progress = progressAfter(taken);
    if (progress != lastProgress_) {
      s_.console.showProgress(progress);
      lastProgress_ = progress;
    }
    // The figure only grows with the minutes taken: find where it next changes.
    uint64_t low = taken + 1;
    uint64_t high = s_.initialSpan + uint64_t{1};
    while (low < high) {
      const uint64_t middle = low + (high - low) / 2;
      if (progressAfter(middle) > progress) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    nextFigureAt_ = low;
    taken = onePass ? after + 1 : low;
  }
}

void Simulation::rememberDate() {
  lastYear_ = s_.clock.ClockYear();
  lastMonth_ = s_.clock.ClockMonth();
  lastDay_ = s_.clock.ClockDay();
}

void Simulation::endPass() {
  // Loads-only mode runs no minutes, so its first pass ends the boot minute; and its last pass
  // takes only what is left of the span.
  const bool hourly = s_.options.loadsOnly;
  if (hourly) {
    s_.boot.booting = false;
  }
  takeMinutes(hourly ? std::min(remaining_, kMinutesPerHour) : 1, true);
  rememberDate();
  AdvanceClock(s_.clock, hourly);
}

std::optional<DayWindow> Simulation::restOfDay() const {
  const SimClock& c = s_.clock;
  const int hour = c.ClockHour();
  const int minute = c.ClockMinute();
  if (s_.boot.booting || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      !isValidMonthCode(c.ClockMonthCode())) {
    return std::nullopt;
  }
  const int32_t now = c.ClockMinutesSince2000().minutes;
  const int32_t midnight = now - hour * 60 - minute;
  return DayWindow{now, midnight + kMinutesPerDay - 1, c.ClockDateKey(), c.ClockWeekday()};
}

void Simulation::skipIdleMinutes(uint32_t count) {
  takeMinutes(count, false);
  // The last idle minute is stepped from as usual, so that a change of date happens as always.
  const int32_t lastIdle =
      s_.clock.ClockHour() * 60 + s_.clock.ClockMinute() + static_cast<int32_t>(count) - 1;
  rememberDate();
  s_.clock.setTime(static_cast<int8_t>(lastIdle / 60), static_cast<int8_t>(lastIdle % 60));
  AdvanceClock(s_.clock, false);
}

void Simulation::planDay(const DayWindow& day) {
  const int32_t midnight = day.last - (kMinutesPerDay - 1);
  // From the last event to the first, so that each minute lists its events in list order.
  agenda_.reset();
  knownDue_.assign(s_.events.size(), false);
  const auto records = s_.events.begin();
  for (size_t index = s_.events.size(); index-- > 0;) {
    const DueMinutes due = NextDueMinutes(records[static_cast<ptrdiff_t>(index)], day);
    if (due.first == kNoDueMinute) {
      continue;
    }
    knownDue_[index] = due.exact;
    const int32_t step = due.step == 0 ? kMinutesPerDay : due.step;
    for (int32_t minute = due.first; minute <= due.last; minute += step) {
      agenda_.addFirst(minute - midnight, static_cast<uint32_t>(index));
    }
  }
}

bool Simulation::runAgendaMinute(int32_t minute) {
  const auto records = s_.events.begin();
  const int32_t first = agenda_.take(minute);
  const DayAgenda::Entry& head = agenda_.entry(first);
  if (head.next == DayAgenda::kNone && knownDue_[head.index]) {
    runSoleDueEvent(records[head.index]);
    return true;
  }
  due_.clear();
  bool knownDue = true;
  for (int32_t at = first; at != DayAgenda::kNone; at = agenda_.entry(at).next) {
    const uint32_t index = agenda_.entry(at).index;
    due_.push_back(&records[index]);
    knownDue = knownDue && knownDue_[index];
  }
  return runMinuteAmong(&due_, knownDue);
}

bool Simulation::runRestOfDay(const DayWindow& day) {
  constexpr int32_t kLastMinute = kMinutesPerDay - 1;
  // The whole day is planned at once: what an event's due minutes depend on does not change
  // within the day.
  planDay(day);
  for (int32_t now = day.first - (day.last - kLastMinute);;) {
    const int32_t next = agenda_.nextMinute(now);
    if (next > now) {
      const uint32_t idle = std::min(static_cast<uint32_t>(next - now), remaining_);
      if (next > kLastMinute || idle == remaining_) {
        skipIdleMinutes(idle);  // to the change of date or the end of the span
        return true;
      }
      takeMinutes(idle, false);
      now = next;
      s_.clock.setTime(static_cast<int8_t>(now / 60), static_cast<int8_t>(now % 60));
    }
    if (!runAgendaMinute(now)) {
      return false;
    }
    if (now == kLastMinute || remaining_ == 1) {
      endPass();
      return true;
    }
    takeMinutes(1, true);
    ++now;
    s_.clock.setTime(static_cast<int8_t>(now / 60), static_cast<int8_t>(now % 60));
  }
}

void Simulation::run() {
  while (step()) {
  }
}

bool Simulation::step() {
  if (over_ || remaining_ == 0 || (dateChanged() && !LoadDay())) {
    over_ = true;
    return false;
  }
  bool goesOn = true;
  if (s_.options.loadsOnly) {
    endPass();
  } else if (const std::optional<DayWindow> day = restOfDay()) {
    goesOn = runRestOfDay(*day);
  } else {
    goesOn = runMinute();
    if (goesOn) {
      endPass();
    }
  }
  over_ = !goesOn || remaining_ == 0;
  return !over_;
}

std::function<ResultCode()> ReloadFrom(const std::string& path, ParseTarget target, bool& lost) {
  return [&path, target, &lost]() mutable {
    const ResultCode rc = loadScheduleFile(path, false, target);
    lost = lost || rc == FILE_OPEN_FAILED;
    return rc;
  };
}

}  // namespace quillmar::planprobe
