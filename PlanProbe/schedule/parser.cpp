#include "parser.h"

#include <new>
#include <string>

#include "report_result.h"
#include "schedule_fields.h"

namespace quillmar::planprobe {

namespace {

class Parser {
 public:
  Parser(ScheduleReader& reader, bool syntaxMode, ParseTarget& target)
      : reader_(reader), syntaxMode_(syntaxMode), target_(target) {}

  ResultCode run();

 private:
  // Reads the value of the field whose colon is at the cursor, by the field letter.
  ResultCode readField();
  // Finishes the line at the cursor: classifies, tests and lists its event, if any.
  void endLine();
  // Reports `code` for the current line, drops its event and skips to the next line.
  ResultCode abandonLine(ResultCode code);
  void report(ResultCode code) { reportResult(target_.log, code, lineText().c_str()); }
  std::string lineText() const { return std::to_string(line_); }

  ScheduleReader& reader_;
  const bool syntaxMode_;
  ParseTarget& target_;
  ScheduleEvent event_;
  char fieldLetter_ = 0;
  uint64_t line_ = 1;
};

bool isFieldLabel(char letter) {
  switch (letter) {
    case 'A':
    case 'a':
    case 'D':
    case 'd':
    case 'E':
    case 'e':
    case 'I':
    case 'i':
    case 'P':
    case 'p':
    case 'R':
    case 'r':
    case 'S':
    case 's':
    case 'T':
    case 't':
    case '1':
    case '2':
    case '3':
    case '4':
      return true;
    default:
      return false;
  }
}

ResultCode Parser::readField() {
  ScheduleEvent& e = event_;
  switch (fieldLetter_) {
    case 'D':
    case 'd':
      return readDateField(reader_, e, EventEdge::Start);
    case 'A':
    case 'a':
      return readDateField(reader_, e, EventEdge::End);
    case 'T':
    case 't':
      return readTimeField(reader_, e, EventEdge::Start, target_.host);
    case 'I':
    case 'i':
      return readTimeField(reader_, e, EventEdge::End, target_.host);
    case 'P':
    case 'p':
      return readPeriodField(reader_, e);
    case 'S':
    case 's':
      return readSetField(reader_, e);
    case 'R':
    case 'r':
      return readRepeatField(reader_, e);
    case 'E':
    case 'e':
      return readKindField(reader_, e);
    default: {  // '1' .. '4'
      const int index = fieldLetter_ - '1';
      reader_.advance();
      if (ResultCode rc = reader_.fill(); rc != SUCCESS) {
        return rc;
      }
      const ResultCode rc = reader_.readParams(e.params[index], fieldLetter_);
      return rc == SUCCESS ? ResultCode{SUCCESS} : static_cast<ResultCode>(BAD_DATA_PARAM1 + index);
    }
  }
}

void Parser::endLine() {
  if (reader_.peek() == '\n') {
    reader_.advance();
  }
  fieldLetter_ = 0;
  ScheduleEvent& e = event_;
  if (e.startYear != 0 || e.startDay != 0 || e.startMonth != 0) {
    e.startKey = dateKey(e.startYear, e.startMonth - kMonthCodeOffset, e.startDay);
  }
  if (e.endYear != 0 || e.endDay != 0 || e.endMonth != 0) {
    e.endKey = dateKey(e.endYear, e.endMonth - kMonthCodeOffset, e.endDay);
  }
  if (e.kind == 0 && e.startDay == 0 && e.startMonth == 0) {
    e.clear();
    return;
  }
  if (classifyEvent(e) != SUCCESS) {
    report(REJECTED_RESPONSE);
    e.clear();
    return;
  }
  if (!syntaxMode_) {
    if ((e.period == PERIOD_SUNRISE || e.period == PERIOD_SUNSET) &&
        e.startKey < target_.host.clockNow().dateKey) {
      substituteSolarTime(e.period == PERIOD_SUNRISE, target_.host, e.startHour, e.startMinute);
    }
    if (const ResultCode rc = target_.host.loadsToday(e, lineText().c_str()); rc != SUCCESS) {
      report(rc);
      e.clear();
      return;
    }
  }
  const uint8_t eventClass = e.flags & kClassMask;
  const bool endsEarly = (eventClass == 4 || eventClass == 7) && e.startKey > e.endKey;
  appendEvent(target_.events, e, syntaxMode_, target_.log);
  if (endsEarly) {
    report(ENDDATE_EARLIER);
  }
}

ResultCode Parser::abandonLine(ResultCode code) {
  report(code);
  if (ResultCode rc = reader_.skipToLineFeed(); rc != SUCCESS) {
    return rc;
  }
  reader_.advance();  // the line feed; nothing at the end of the file
  ++line_;
  event_.clear();
  fieldLetter_ = 0;
  return reader_.fill();
}

ResultCode Parser::run() {
  target_.host.captureBootTime();
  freeEventList(target_.events);
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
      continue;
    } else if (c == ':' && isFieldLabel(fieldLetter_)) {
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

}  // namespace

ResultCode parseSchedule(ScheduleReader& reader, bool syntaxMode, ParseTarget& target) {
  Parser parser(reader, syntaxMode, target);
  return parser.run();
}

ResultCode loadScheduleFile(const std::string& path, bool syntaxMode, ParseTarget& target) {
  ScheduleReader reader;
  if (ResultCode rc = reader.open(path.c_str()); rc != SUCCESS) {
    return rc;
  }
  if (ResultCode rc = reader.readChunk(); isFailure(rc)) {
    return rc;
  }
  try {
    return parseSchedule(reader, syntaxMode, target);
  } catch (const std::bad_alloc&) {
    return MALLOC_FAILURE;
  }
}

}  // namespace quillmar::planprobe
