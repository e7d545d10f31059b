// The schedule parser: turns a schedule file into the event list.
#pragma once

#include <string>

#include "event_list.h"
#include "reader.h"
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

// Parses the schedule file at `path` into `target.events`: every valid event in the syntax
// analysis (`syntaxMode`), only the events the day test accepts otherwise. Errors in the text
// are reported to the log, one per line with its line number. Returns FILE_OPEN_FAILED when
// the file cannot be opened, MALLOC_FAILURE when memory ran out, else SUCCESS.
ResultCode loadScheduleFile(const std::string& path, bool syntaxMode, ParseTarget& target);

// Parses the text of `reader`, whose first chunk has been read, into `target.events`.
// The results are those of loadScheduleFile.
ResultCode parseSchedule(ScheduleReader& reader, bool syntaxMode, ParseTarget& target);

}  // namespace quillmar::planprobe
