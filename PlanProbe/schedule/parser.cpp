#include "schedule/parser.h"

#include <new>
#include <string>

#include "schedule/event_class.h"
#include "schedule/field_tags.h"
#include "schedule/report_result.h"
#include "schedule/schedule_fields.h"

namespace quillmar::planprobe {

namespace {

// The text step: reads lines into `parsed`.
class Parser {
 public:
  Parser(ScheduleReader& reader, ParsedSchedule& parsed) : reader_(reader), parsed_(parsed) {}

  ResultCode run();

 private:
  // Reads the value of the field whose colon is at the cursor, by the field letter.
  ResultCode readField();
  // Finishes the line at the cursor: classifies its event, if any, and keeps it.
  void endLine();
  // Reports `code` for the current line, drops its event and skips to the next line.
  ResultCode abandonLine(ResultCode code);
  // Reports `code` for the present line, blaming the field whose tag begins at `at`.
  void report(ResultCode code, size_t at) {
    parsed_.lines.push_back(ParsedLine{
        std::to_string(line_), code, {}, {}, static_cast<uint32_t>(line_), lineStart_, at});
  }
  // Forgets the event and the time words read so far.
  void clearEvent() {
    event_.clear();
    times_ = {};
  }

  ScheduleReader& reader_;
  ParsedSchedule& parsed_;
  ScheduleEvent event_;
  std::array<TimeWords, 2> times_;
  char fieldLetter_ = 0;
  uint64_t line_ = 1;
  size_t lineStart_ = 0;  // the reader's offset where the present line began
  size_t tagAt_ = 0;      // the reader's offset of the tag of the field being read
};

ResultCode Parser::readField() {
  return readFieldValue(*findFieldTag(fieldLetter_), reader_, event_, times_, fieldLetter_);
}

void Parser::endLine() {
  if (reader_.peek() == '\n') {
    reader_.advance();
  }
  fieldLetter_ = 0;
  ScheduleEvent& e = event_;
  if (e.startYear != 0 || e.startDay != 0 || e.startMonth != 0) {
    e.startKey = dateKey(e.startYear, monthOfCode(e.startMonth), e.startDay);
  }
  if (e.endYear != 0 || e.endDay != 0 || e.endMonth != 0) {
    e.endKey = dateKey(e.endYear, monthOfCode(e.endMonth), e.endDay);
  }
  if (e.kind == 0 && e.startDay == 0 && e.startMonth == 0) {
    clearEvent();
    return;
  }
  if (classifyEvent(e) != SUCCESS) {
    report(REJECTED_RESPONSE, lineStart_);
    clearEvent();
    return;
  }
  e.texts = std::make_shared<EventTexts>();
  e.line = static_cast<uint32_t>(line_);
  parsed_.lines.push_back(ParsedLine{std::to_string(line_), SUCCESS, std::move(e), times_,
                                     static_cast<uint32_t>(line_), lineStart_, lineStart_});
  clearEvent();
}

ResultCode Parser::abandonLine(ResultCode code) {
  report(code, tagAt_);
  if (ResultCode rc = reader_.skipToLineFeed(); rc != SUCCESS) {
    return rc;
  }
  reader_.advance();  // the line feed; nothing at the end of the file
  ++line_;
  lineStart_ = reader_.offset();
  clearEvent();
  fieldLetter_ = 0;
  return reader_.fill();
}

ResultCode Parser::run() {
  for (;;) {
    ResultCode fieldResult = SUCCESS;
    const int c = reader_.peek();
    if (c == ';') {
      fieldResult = reader_.skipToLineFeed();
    } else if (c == '\n' || reader_.atEndOfFile()) {
      endLine();
      if (ResultCode rc = reader_.fill(); rc != SUCCESS) {
        return rc;
      }
      if (reader_.atEndOfFile()) {
        return SUCCESS;
      }
      ++line_;
      lineStart_ = reader_.offset();
      continue;
    } else if (c == ':' && findFieldTag(fieldLetter_) != nullptr) {
      tagAt_ = reader_.offset() - 1;  // the letter or digit stands right before its colon
      fieldResult = readField();
    } else {
      fieldLetter_ = static_cast<char>(c);
      reader_.advance();
    }
    if (ResultCode rc = reader_.fill(); rc != SUCCESS) {
      return rc;
    }
    if (isFailure(fieldResult)) {
      if (ResultCode rc = abandonLine(fieldResult); rc != SUCCESS) {
        return rc;
      }
    }
  }
}

// Reports `code` for `parsed`'s line to the log and to the findings, when they are collected.
void reportLine(ParseTarget& target, ResultCode code, const ParsedLine& parsed) {
  reportResult(target.log, code, parsed.line.c_str());
  if (target.findings != nullptr && code != NOT_TODAY && code != SUCCESS) {
    const size_t at = code == parsed.report ? parsed.at : parsed.start;
    target.findings->push_back({parsed.number, code, parsed.start, at});
  }
}

// The load step for one candidate line: settles its clock-dependent times, runs the day
// test outside the syntax analysis and lists the event.
void loadLine(const ParsedLine& parsed, bool syntaxMode, ParseTarget& target, SunTimes& sun) {
  const std::string& line = parsed.line;
  if (parsed.report != SUCCESS) {
    reportLine(target, parsed.report, parsed);
    return;
  }
  // Built in the list's spare record, whose buffers the copy reuses.
  ScheduleEvent& e = target.events.spare();
  e = parsed.event;
  applyTimeWords(parsed.times[0], EventEdge::Start, target.host, sun, e);
  applyTimeWords(parsed.times[1], EventEdge::End, target.host, sun, e);
  if (!syntaxMode) {
    if ((e.period == PERIOD_SUNRISE || e.period == PERIOD_SUNSET) &&
        e.startKey < target.host.clockNow().dateKey) {
      sun.substitute(e.period == PERIOD_SUNRISE, e.startHour, e.startMinute);
    }
    if (const ResultCode rc = target.host.loadsToday(e, line.c_str()); rc != SUCCESS) {
      reportLine(target, rc, parsed);
      return;
    }
  }
  const bool endsEarly = describeClass(e).endDateChecked && e.startKey > e.endKey;
  appendEvent(target.events, e, syntaxMode, target.log);
  if (endsEarly) {
    reportLine(target, ENDDATE_EARLIER, parsed);
  }
}

}  // namespace

ParsedSchedule parseScheduleText(ScheduleReader& reader) {
  ParsedSchedule parsed;
  Parser parser(reader, parsed);
  try {
    parsed.end = parser.run();
  } catch (const std::bad_alloc&) {
    parsed.end = MALLOC_FAILURE;
  }
  return parsed;
}

ResultCode loadParsedSchedule(const ParsedSchedule& parsed, bool syntaxMode, ParseTarget& target) {
  target.host.captureBootTime();
  freeEventList(target.events);
  SunTimes sun(target.host);
  for (const ParsedLine& line : parsed.lines) {
    loadLine(line, syntaxMode, target, sun);
  }
  return parsed.end;
}

ResultCode loadScheduleFile(const std::string& path, bool syntaxMode, ParseTarget& target) {
  ScheduleCache local;
  ScheduleCache& cache = target.cache != nullptr ? *target.cache : local;
  // Taken before the reading, so that a change during it shows at the next call.
  const std::optional<platform::FileStamp> stamp = platform::readFileStamp(path);
  const bool unchanged = stamp && cache.parsed && cache.stamp == stamp;
  try {
    if (!unchanged) {
      std::string text;
      {
        ScheduleReader file;
        if (ResultCode rc = file.open(path.c_str()); rc != SUCCESS) {
          return rc;
        }
        if (ResultCode rc = file.readAll(text); isFailure(rc)) {
          return rc;
        }
      }
      if (!cache.parsed || text != cache.text) {
        cache.parsed.reset();
        cache.text = std::move(text);
        ScheduleReader reader;
        reader.openText(cache.text);
        reader.readChunk();
        cache.parsed = parseScheduleText(reader);
      }
      cache.stamp = stamp && stamp->settled ? stamp : std::nullopt;
    }
    const ResultCode rc = loadParsedSchedule(*cache.parsed, syntaxMode, target);
    if (rc != SUCCESS) {
      cache.parsed.reset();  // a parse that failed is not repeated from memory
    }
    return rc;
  } catch (const std::bad_alloc&) {
    cache.parsed.reset();
    return MALLOC_FAILURE;
  }
}

}  // namespace quillmar::planprobe
