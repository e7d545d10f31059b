#include "schedule/event_report.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmar::planprobe {
namespace {

ScheduleEvent dailySequence() {
  ScheduleEvent event;
  event.startMonth = 31;
  event.startDay = 3;
  event.startYear = 2;
  event.startHour = 12;
  event.startMinute = 30;
  event.repeat = 1;
  event.period = PERIOD_DAY;
  event.kind = STARTSEQUENCE;
  event.params[0] = {5, 0};
  return event;
}

// The report as the syntax check writes it.
std::string report(const ScheduleEvent& event) {
  std::string out;
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    printEvent(event, true, log);
  }
  return out;
}

// What a schedule file cannot bring about; the report of each kind of event as the parser
// leaves it is pinned by the transcripts.
TEST(PrintEvent, FieldsNoScheduleLineCanHold) {
  struct Row {
    const char* name;
    int8_t repeat, period, set;
    uint8_t kind;
    std::string text;
  };
  const std::string unknown =
      "This is not good.  Check your schedule file or contact tech support.";
  const Row rows[] = {
      {"negative count hidden", -56, 0, 0, STARTSEQUENCE,
       "\r\nValid Event: D:01.03.02 T:12:30 E:STARTSEQUENCE 1:5 "},
      {"unknown kind", 1, PERIOD_DAY, 0, 60,
       "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day Unknown Event.  This is not good.  Check "
       "your script or contact tech support.\r\n"},
      {"unknown period ends the report", 1, 24, 0, 60,
       "\r\nValid Event: D:01.03.02 T:12:30 R:1 Unknown Repeat Period.  " + unknown + "\r\n"},
      {"unknown set ends the report", 1, PERIOD_BOOT, 43, 60,
       "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Boot Unknown Repeat Set.  " + unknown + "\r\n"},
  };
  for (const Row& row : rows) {
    ScheduleEvent e = dailySequence();
    e.repeat = row.repeat;
    e.period = row.period;
    e.set = row.set;
    e.kind = row.kind;
    EXPECT_EQ(report(e), row.text) << row.name;
  }
}

TEST(PrintEvent, EveryPeriodAndSetName) {
  const char* periods[] = {"Day",      "Sunday",  "Monday",   "Tuesday", "Wednesday",
                           "Thursday", "Friday",  "Saturday", "Minute",  "Hour",
                           "Year",     "Sunrise", "Sunset",   "Boot"};
  const char* sets[] = {"Month", "January", "February",  "March",   "April",    "May",     "June",
                        "July",  "August",  "September", "October", "November", "December"};
  for (int8_t period = PERIOD_DAY; period <= PERIOD_BOOT; ++period) {
    for (int8_t set = SET_MONTH; set <= SET_DECEMBER; ++set) {
      ScheduleEvent e = dailySequence();
      e.period = period;
      e.set = set;
      const std::string expected = std::string("\r\nValid Event: D:01.03.02 T:12:30 R:1 P:") +
                                   periods[period - PERIOD_DAY] + " S:" + sets[set - SET_MONTH] +
                                   " E:STARTSEQUENCE 1:5 ";
      EXPECT_EQ(report(e), expected);
    }
  }
}

}  // namespace
}  // namespace quillmar::planprobe
