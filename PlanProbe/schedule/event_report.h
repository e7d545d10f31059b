// The event report: one valid or loaded event written to the results log in the schedule
// file's own field notation.
#pragma once

#include "log/results_log.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// Writes the report of `event` under "Valid Event:" (`syntaxMode`) or "Event Added:".
void printEvent(const ScheduleEvent& event, bool syntaxMode, ResultsLog& log);

}  // namespace quillmar::planprobe
