// The state of one simulated unit whose run nobody reads as it goes: a log that keeps nothing
// and a console that shows nothing. The runs beside the session's own use it (the old
// schedule's with --compare, an editor's text in the language server); each owns one.
#pragma once

#include <ostream>
#include <vector>

#include "log/results_log.h"
#include "rules/sim_clock.h"
#include "schedule/event_list.h"
#include "schedule/parser.h"
#include "session/clock_host.h"
#include "session/console.h"

namespace quillmar::planprobe {

struct QuietUnit {
  explicit QuietUnit(const SimClock& start) : clock(start) {}
  QuietUnit(const QuietUnit&) = delete;
  QuietUnit& operator=(const QuietUnit&) = delete;

  // What a parse of the unit's schedule writes to; `findings` collects the reports that name a
  // line, when given.
  ParseTarget parseTarget(std::vector<Finding>* findings = nullptr) {
    return ParseTarget{events, log, host, &cache, findings};
  }

  SimClock clock;
  BootState boot;
  EventList events;
  ScheduleCache cache;  // the schedule text and its parse, kept between daily loads
  ResultsLog log;       // without a sink: it keeps nothing
  ClockHost host{clock, boot, log};
  std::ostream quiet{nullptr};  // drops the progress and the messages
  Console console{quiet};
};

}  // namespace quillmar::planprobe
