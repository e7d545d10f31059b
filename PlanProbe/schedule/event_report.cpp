#include "event_report.h"

#include <array>
#include <cstring>

namespace quillmar::planprobe {

namespace {

constexpr std::array<const char*, 14> kPeriodTexts{
    "P:Day ",      "P:Sunday ",  "P:Monday ",   "P:Tuesday ", "P:Wednesday ",
    "P:Thursday ", "P:Friday ",  "P:Saturday ", "P:Minute ",  "P:Hour ",
    "P:Year ",     "P:Sunrise ", "P:Sunset ",   "P:Boot ",
};

constexpr std::array<const char*, 13> kSetTexts{
    "S:Month ", "S:January ", "S:February ",  "S:March ",   "S:April ",    "S:May ",      "S:June ",
    "S:July ",  "S:August ",  "S:September ", "S:October ", "S:November ", "S:December ",
};

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
      log.print("%d:%.*s ", label, static_cast<int>(strnlen(text, param.size())), text);
    } else {
      log.print("%d:%i ", label, param[0]);
    }
  }
}

}  // namespace

void printEvent(const ScheduleEvent& event, bool syntaxMode, ResultsLog& log) {
  log.write(syntaxMode ? "\nValid Event: " : "\nEvent Added: ");
  log.print("D:%02i.%02i.%02i T:%02i:%02i ", event.startMonth - kMonthCodeOffset, event.startDay,
            event.startYear, event.startHour, event.startMinute);
  if (event.endKey > 0) {
    log.print("A:%02i.%02i.%02i I:%02i:%02i ", event.endMonth - kMonthCodeOffset, event.endDay,
              event.endYear, event.endHour, event.endMinute);
  }
  if (event.repeat > 0) {
    log.print("R:%i ", event.repeat);
  }
  if (event.period > 0) {
    if (event.period < PERIOD_DAY || event.period > PERIOD_BOOT) {
      log.write(
          "Unknown Repeat Period.  This is not good.  Check your schedule file or contact tech "
          "support.\n");
      return;
    }
    log.write(kPeriodTexts[event.period - PERIOD_DAY]);
  }
  if (event.set > 0) {
    if (event.set < SET_MONTH || event.set > SET_DECEMBER) {
      log.write(
          "Unknown Repeat Set.  This is not good.  Check your schedule file or contact tech "
          "support.\n");
      return;
    }
    log.write(kSetTexts[event.set - SET_MONTH]);
  }
  writeEventPart(event, log);
}

}  // namespace quillmar::planprobe
