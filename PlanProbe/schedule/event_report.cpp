#include "schedule/event_report.h"

#include <array>
#include <cstring>
#include <string_view>

#include "log/log_text.h"

namespace quillmar::planprobe {

namespace {

// How the event report shows each data parameter of a kind.
enum ParamShow : uint8_t { NONE, TEXT, VALUE };

struct KindReport {
  const char* keyword;
  std::array<ParamShow, 4> params;
};

// Event kinds SENDSTRING (51) to DEFAULTWEBPAGE (59), in code order.
constexpr std::array<KindReport, 9> kKindReports{{
    {"E:SENDSTRING ", {TEXT, TEXT, VALUE, VALUE}},
    {"E:STARTSEQUENCE ", {VALUE, NONE, NONE, NONE}},
    {"E:STOP ", {VALUE, NONE, NONE, NONE}},
    {"E:RESET ", {VALUE, NONE, NONE, NONE}},
    {"E:PAUSE ", {VALUE, NONE, NONE, NONE}},
    {"E:SETVAREQ ", {VALUE, VALUE, NONE, NONE}},
    {"E:ON ", {VALUE, NONE, NONE, NONE}},
    {"E:OFF ", {VALUE, NONE, NONE, NONE}},
    {"E:DEFAULTWEBPAGE ", {TEXT, NONE, NONE, NONE}},
}};

// Writes the kind's keyword and the parameters that it shows.
void writeEventPart(const ScheduleEvent& event, ResultsLog& log) {
  const size_t index = event.kind - SENDSTRING;
  if (event.kind < SENDSTRING || index >= kKindReports.size()) {
    log.write("Unknown Event.  This is not good.  Check your script or contact tech support.\n");
    return;
  }
  const KindReport& report = kKindReports[index];
  log.write(report.keyword);
  for (size_t i = 0; i < event.params.size(); ++i) {
    const ParamBuffer& param = event.params[i];
    if (param.empty() || report.params[i] == NONE) {
      continue;
    }
    const int label = static_cast<int>(i) + 1;
    if (report.params[i] == TEXT) {
      // Bounded by the buffer, though the reader always ends it with a zero byte.
      const char* text = reinterpret_cast<const char*>(param.data());
      LogText().number(label).text(":").writeTo(log);
      log.write(std::string_view(text, strnlen(text, param.size())));
      log.write(" ");
    } else {
      LogText().number(label).text(":").number(param[0]).text(" ").writeTo(log);
    }
  }
}

// Writes a date and time pair as "D:mm.dd.yy T:hh:mm " (labels by edge).
void writeDateTime(std::string_view dateLabel, uint8_t monthCode, uint8_t day, uint8_t year,
                   std::string_view timeLabel, uint8_t hour, uint8_t minute, ResultsLog& log) {
  LogText()
      .text(dateLabel)
      .twoDigits(monthOfCode(monthCode))
      .text(".")
      .twoDigits(day)
      .text(".")
      .twoDigits(year)
      .text(timeLabel)
      .twoDigits(hour)
      .text(":")
      .twoDigits(minute)
      .text(" ")
      .writeTo(log);
}

// Every field the report shows, apart from the parameters and the kind, which never change
// after the line has been read.
std::array<uint8_t, 16> reportFields(const ScheduleEvent& e, bool syntaxMode) {
  return {e.startMonth,
          e.startDay,
          e.startYear,
          e.startHour,
          e.startMinute,
          static_cast<uint8_t>(e.endKey > 0),
          e.endMonth,
          e.endDay,
          e.endYear,
          e.endHour,
          e.endMinute,
          static_cast<uint8_t>(e.repeat),
          static_cast<uint8_t>(e.period),
          static_cast<uint8_t>(e.set),
          e.kind,
          static_cast<uint8_t>(syntaxMode)};
}

// Writes a period's or set's part, "P:Name " ("S:Name "); for a code the unit does not know
// (`row` null) the complaint that ends the report instead, and false.
template <typename Row>
bool writeRepeatPart(const Row* row, std::string_view label, std::string_view what,
                     ResultsLog& log) {
  if (row == nullptr) {
    log.write("Unknown Repeat ");
    log.write(what);
    log.write(".  This is not good.  Check your schedule file or contact tech support.\n");
    return false;
  }
  LogText().text(label).text(row->name).text(" ").writeTo(log);
  return true;
}

// Writes the event's report line afresh.
void writeReport(const ScheduleEvent& event, bool syntaxMode, ResultsLog& log) {
  log.write(syntaxMode ? "\nValid Event: " : "\nEvent Added: ");
  writeDateTime("D:", event.startMonth, event.startDay, event.startYear, " T:", event.startHour,
                event.startMinute, log);
  if (event.endKey > 0) {
    writeDateTime("A:", event.endMonth, event.endDay, event.endYear, " I:", event.endHour,
                  event.endMinute, log);
  }
  if (event.repeat > 0) {
    LogText().text("R:").number(event.repeat).text(" ").writeTo(log);
  }
  if (event.period > 0 && !writeRepeatPart(findPeriod(event.period), "P:", "Period", log)) {
    return;
  }
  if (event.set > 0 && !writeRepeatPart(findSet(event.set), "S:", "Set", log)) {
    return;
  }
  writeEventPart(event, log);
}

}  // namespace

void printEvent(const ScheduleEvent& event, bool syntaxMode, ResultsLog& log) {
  // A line loaded day after day mostly reports the same text: made once, then repeated.
  EventTexts* const texts = event.texts.get();
  const std::array<uint8_t, 16> fields = reportFields(event, syntaxMode);
  if (texts != nullptr && !texts->report.empty() && texts->reportFields == fields) {
    log.writeRaw(texts->report);
    return;
  }
  const uint64_t start = log.position();
  writeReport(event, syntaxMode, log);
  if (const std::optional<std::string_view> written = log.writtenSince(start);
      written && texts != nullptr) {
    texts->report.assign(*written);
    texts->reportFields = fields;
  }
}

}  // namespace quillmar::planprobe
