// The schedule parser: turns a schedule file into the event list.
#pragma once

#include <string>

#include "event_list.h"
#include "result_code.h"
#include "results_log.h"
#include "schedule_host.h"

namespace quillmar::planprobe {

// What a parse writes to and reads from.
struct ParseTarget {
  EventList& events;  // rebuilt by every parse
  ResultsLog& log;    // event reports and line errors
  ScheduleHost& host;
};

// Parses the schedule file at `path` into `target.events`: every event in the syntax analysis
// (`syntaxMode`), only the events the day test accepts otherwise. Errors in the text are
// reported to the log; the result is FILE_OPEN_FAILED when the file cannot be read, another
// code of FIRST_ERROR or above when the parse could not go on, else SUCCESS.
ResultCode loadScheduleFile(const std::string& path, bool syntaxMode, ParseTarget& target);

}  // namespace quillmar::planprobe
