// What a simulated minute came to, for those who watch the run besides the results log (the
// run summary, the timeline page). The minute loop tells observers only when some are attached.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// A date and time of the simulated clock.
struct SimMoment {
  int8_t year;  // two-digit offset from 2000
  int8_t month;
  int8_t day;
  int8_t hour;
  int8_t minute;
};

// The kind of line a minute left in the results log.
enum class MinuteLine : uint8_t {
  Command,      // the winner's device command
  Silent,       // the winner has no command text (STOP, RESET, PAUSE): no line
  NoPrecedence  // two due events without a winner: the "Unknown Event Type" text
};

// One minute in which at least one event was due.
struct MinuteOutcome {
  SimMoment when;
  std::span<const ScheduleEvent* const> due;  // every due event, in list order
  const ScheduleEvent* winner;                // null when no precedence could be settled
  MinuteLine line;
  std::string_view text;  // what the minute wrote to the log (CR LF line ends), stamp included
};

class MinuteObserver {
 public:
  virtual ~MinuteObserver() = default;
  // A simulated day begins (its events have just been loaded).
  virtual void dayStarted(const SimMoment& when) = 0;
  virtual void minuteSettled(const MinuteOutcome& outcome) = 0;
};

}  // namespace quillmar::planprobe
