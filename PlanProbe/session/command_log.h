// The device command log: the line that shows what the unit would do when an event wins its
// minute. Nothing is sent anywhere; the log line is the whole of the simulated device output.
#pragma once

#include <cstdint>

#include "log/results_log.h"
#include "schedule/result_code.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// Writes, after the minute stamp, the double-occupancy mark ("D" or a blank), the event's
// start time and its command text. Returns SUCCESS; NO_MATCH, writing nothing, for a kind
// without a command (STOP, RESET, PAUSE, unknown kinds); BAD_EVENT_POINTER for no event.
ResultCode ExecuteEvent(ResultsLog& log, const ScheduleEvent* event, bool doubleOccupancy);

// True when executing `event` writes a command line: false for the kinds without a command.
bool HasCommand(const ScheduleEvent& event);

// The six command writers. Absent texts (null) print as "(null)".
ResultCode LogSendString(ResultsLog& log, const char* text, const char* ack, uint8_t retries,
                         uint8_t timeout);
ResultCode LogStartSequence(ResultsLog& log, uint8_t sequence);
ResultCode LogSetVarEq(ResultsLog& log, uint8_t variable, uint8_t value);
ResultCode LogOn(ResultsLog& log, uint8_t number);
ResultCode LogOff(ResultsLog& log, uint8_t number);
ResultCode LogDefaultWebPage(ResultsLog& log, const char* page);

}  // namespace quillmar::planprobe
