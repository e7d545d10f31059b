// The schedule parser: turns a schedule file into the event list.
//
// A parse has two steps. The text step reads the lines into what the text alone decides: the
// reports of faulty lines and the event candidates. The load step then settles what the clock
// decides (boot and sun times, the day test) and lists the events. A daily reload of a file
// whose bytes have not changed repeats only the load step.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "log/results_log.h"
#include "platform/file_stamp.h"
#include "schedule/event_list.h"
#include "schedule/result_code.h"
#include "schedule/schedule_fields.h"
#include "schedule/schedule_host.h"

namespace quillmar::planprobe {

// What the text step made of one schedule line that leaves a trace.
struct ParsedLine {
  std::string line;                // its line number, as the reports show it
  ResultCode report = SUCCESS;     // the code to report; SUCCESS for an event candidate
  ScheduleEvent event;             // classified, with the time words not yet applied
  std::array<TimeWords, 2> times;  // by EventEdge
  uint32_t number = 0;             // `line` as a number
  size_t start = 0;                // where the line begins in the text, in bytes
  size_t at = 0;  // where the tag of the field `report` blames begins; `start` for none
};

// One report of the syntax analysis that names a schedule line: a response, error or warning.
struct Finding {
  uint32_t line;
  ResultCode code;
  size_t start;  // where the line begins in the schedule text, in bytes
  size_t at;     // where the tag of the field to blame begins ("T:", "3:"); `start` for none
};

// The outcome of the text step over one schedule text.
struct ParsedSchedule {
  std::vector<ParsedLine> lines;
  ResultCode end = SUCCESS;  // what the parse returns after the lines
};

// The last schedule text read and the outcome of its text step.
struct ScheduleCache {
  std::string text;
  std::optional<ParsedSchedule> parsed;
  // The file's stamp from just before `text` was read, when it was settled then: as long as
  // the file shows the same stamp, it holds `text`.
  std::optional<platform::FileStamp> stamp;
};

// What a parse writes to and reads from.
struct ParseTarget {
  EventList& events;  // rebuilt by every parse
  ResultsLog& log;    // event reports and line errors
  ScheduleHost& host;
  ScheduleCache* cache;  // kept between parses of the same file; null for none
  // Collects every report that names a line, besides writing it; null when nobody asks.
  std::vector<Finding>* findings = nullptr;
};

// Parses the schedule file at `path` into `target.events`: every valid event in the syntax
// analysis (`syntaxMode`), only the events the day test accepts otherwise. Errors in the text
// are reported to the log, one per line with its line number. Returns FILE_OPEN_FAILED when
// the file cannot be opened, MALLOC_FAILURE when memory ran out, else SUCCESS. The text step is
// skipped when the file holds the bytes `target.cache` holds; the file is not even read again
// when its stamp shows that it cannot have changed since it was read for the cache.
ResultCode loadScheduleFile(const std::string& path, bool syntaxMode, ParseTarget& target);

// The text step over `reader`, whose first chunk has been read.
ParsedSchedule parseScheduleText(ScheduleReader& reader);

// The load step: lists the candidates of `parsed` and writes its reports, as the parse of its
// text does. Returns what that parse returns.
ResultCode loadParsedSchedule(const ParsedSchedule& parsed, bool syntaxMode, ParseTarget& target);

}  // namespace quillmar::planprobe
