#include "tests/simulation_test_support.h"

#include <string>

#include "calendar/solar.h"
#include "schedule/parser.h"
#include "schedule/report_result.h"
#include "session/minute_run.h"

namespace quillmar::planprobe::testing {

void runPlainLoop(Simulation& simulation, bool loadsOnly) {
  while (simulation.remaining() != 0) {
    if (simulation.dateChanged() && !simulation.LoadDay()) {
      return;
    }
    if (!loadsOnly && !simulation.runMinute()) {
      return;
    }
    simulation.endPass();
  }
}

namespace {

void computeKeys(ScheduleEvent& e) {
  if (e.startYear != 0 || e.startDay != 0 || e.startMonth != 0) {
    e.startKey = dateKey(e.startYear, monthOfCode(e.startMonth), e.startDay);
  }
  if (e.endYear != 0 || e.endDay != 0 || e.endMonth != 0) {
    e.endKey = dateKey(e.endYear, monthOfCode(e.endMonth), e.endDay);
  }
}

}  // namespace

ScheduleEvent makeEvent(uint8_t kind, int month, int day, int year, int hour, int minute) {
  ScheduleEvent e;
  e.kind = kind;
  e.startMonth = static_cast<uint8_t>(month == 0 && day == 0 && year == 0 ? 0 : month + 30);
  e.startDay = static_cast<uint8_t>(day);
  e.startYear = static_cast<uint8_t>(year);
  e.startHour = static_cast<uint8_t>(hour);
  e.startMinute = static_cast<uint8_t>(minute);
  computeKeys(e);
  return e;
}

void setEnd(ScheduleEvent& e, int month, int day, int year, int hour, int minute) {
  e.endMonth = static_cast<uint8_t>(month + 30);
  e.endDay = static_cast<uint8_t>(day);
  e.endYear = static_cast<uint8_t>(year);
  e.endHour = static_cast<uint8_t>(hour);
  e.endMinute = static_cast<uint8_t>(minute);
  computeKeys(e);
}

void setParam(ScheduleEvent& e, int index, const std::string& bytes) {
  e.params[index].assign(bytes.begin(), bytes.end());
  e.params[index].push_back(0);
}

void setValueParam(ScheduleEvent& e, int index, uint8_t value) {
  e.params[index] = {value, 0};
}

SimRun::SimRun(std::vector<ScheduleEvent> lines, int month, int day, int year, int hour, int minute,
               uint32_t span)
    : lines_(std::move(lines)), log_(std::make_unique<StringSink>(out_)) {
  clock_.setDate(static_cast<int8_t>(month), static_cast<int8_t>(day), static_cast<int8_t>(year));
  clock_.setTime(static_cast<int8_t>(hour), static_cast<int8_t>(minute));
  clock_.updateDateKey();
  options.totalMinutes = span;
  // The syntax analysis takes the start as the boot time.
  boot_.bootDateKey = clock_.ClockDateKey();
  boot_.bootHour = static_cast<uint8_t>(hour);
  boot_.bootMinute = static_cast<uint8_t>(minute);
}

ResultCode SimRun::reload() {
  if (++reloads_ == missingAtReload) {
    return FILE_OPEN_FAILED;
  }
  freeEventList(events_);
  LogReports reports(log_);
  TimingContext timing{clock_, boot_, reports};
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string line = std::to_string(i + 1);
    ScheduleEvent e = lines_[i];
    if (classifyEvent(e) != SUCCESS) {
      reportResult(log_, REJECTED_RESPONSE, line.c_str());
      continue;
    }
    if ((e.period == PERIOD_SUNRISE || e.period == PERIOD_SUNSET) &&
        e.startKey < clock_.ClockDateKey()) {
      const SolarDate date{clock_.ClockYear(), clock_.ClockMonth(), clock_.ClockDay(),
                           clock_.ClockHour()};
      const SolarResult sun = SolarEventTime(e.period == PERIOD_SUNRISE ? 1 : 0, date);
      if (sun.status == CalendarStatus::Ok) {
        e.startHour = static_cast<uint8_t>(sun.time.hour);
        e.startMinute = static_cast<uint8_t>(sun.time.minute);
      }
    }
    if (const ResultCode r = LoadsToday(timing, &e, line.c_str()); r != SUCCESS) {
      reportResult(log_, r, line.c_str());
      continue;
    }
    const bool hasEnd = (e.flags & kClassMask) == 4 || (e.flags & kClassMask) == 7;
    const bool endEarlier = hasEnd && e.startKey > e.endKey;
    appendEvent(events_, e, false, log_);
    if (endEarlier) {
      reportResult(log_, ENDDATE_EARLIER, line.c_str());
    }
  }
  return SUCCESS;
}

std::string SimRun::run(bool fast, bool analysisErrors) {
  if (analysisErrors) {
    log_.markErrorSeen();
  }
  const SimulationSetup setup{options,  options.totalMinutes,       clock_, boot_, events_, log_,
                              console_, [this] { return reload(); }};
  Simulation simulation(setup);
  if (fast) {
    simulation.run();
  } else {
    runPlainLoop(simulation, options.loadsOnly);
  }
  log_.flush();
  return out_;
}

ScheduleFileRun::ScheduleFileRun(std::string schedulePath, std::unique_ptr<LogSink> sink, int month,
                                 int day, int year, int hour, int minute, uint32_t span)
    : log_(std::move(sink)) {
  options.sourcePath = std::move(schedulePath);
  options.totalMinutes = span;
  clock_.setDate(static_cast<int8_t>(month), static_cast<int8_t>(day), static_cast<int8_t>(year));
  clock_.setTime(static_cast<int8_t>(hour), static_cast<int8_t>(minute));
  clock_.updateDateKey();
}

bool ScheduleFileRun::run(bool fast) {
  // The fast run keeps the parse of the text between reloads, the plain one parses anew.
  ScheduleCache cache;
  ScheduleCache* const kept = fast ? &cache : nullptr;
  ParseTarget target{events_, log_, host_, kept};
  if (isFailure(loadScheduleFile(options.sourcePath, true, target))) {
    return false;
  }
  const SimulationSetup setup{options,
                              options.totalMinutes,
                              clock_,
                              boot_,
                              events_,
                              log_,
                              console_,
                              [this, kept, reloads = 0]() mutable {
                                if (beforeReload) {
                                  beforeReload(reloads++);
                                }
                                ParseTarget daily{events_, log_, host_, kept};
                                return loadScheduleFile(options.sourcePath, false, daily);
                              }};
  Simulation simulation(setup);
  if (fast) {
    simulation.run();
  } else {
    runPlainLoop(simulation, options.loadsOnly);
  }
  return log_.close();
}

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += '\r';
    }
    out += c;
  }
  return out;
}

}  // namespace quillmar::planprobe::testing
