#include "schedule/event_report.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmar::planprobe {
namespace {

ParamBuffer text(const std::string& s) {
  ParamBuffer buffer(s.begin(), s.end());
  buffer.push_back(0);
  return buffer;
}

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

TEST(PrintEvent, FieldCombinations) {
  struct Row {
    const char* name;
    ScheduleEvent event;
    std::string text;
  };
  std::vector<Row> rows;
  {
    ScheduleEvent e = dailySequence();
    e.params[0] = text("5");
    rows.push_back({"text shown as its first byte", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day E:STARTSEQUENCE 1:53 "});
    e.repeat = -56;
    e.period = 0;
    rows.push_back(
        {"negative count hidden", e, "\r\nValid Event: D:01.03.02 T:12:30 E:STARTSEQUENCE 1:53 "});
  }
  {
    ScheduleEvent e = dailySequence();
    e.kind = SENDSTRING;
    e.params = {text("hello"), text("ok"), ParamBuffer{3, 0}, ParamBuffer{1, 44, 0}};
    rows.push_back({"send string", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day E:SENDSTRING 1:hello 2:ok 3:3 "
                    "4:1 "});
    e.params[1].clear();
    e.params[3].clear();
    rows.push_back({"send string, absent parameters", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day E:SENDSTRING 1:hello 3:3 "});
  }
  {
    ScheduleEvent e = dailySequence();
    e.kind = SETVAREQ;
    e.params = {ParamBuffer{4, 0}, ParamBuffer{200, 0}, text("x"), text("y")};
    rows.push_back({"set variable shows two values only", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day E:SETVAREQ 1:4 2:200 "});
  }
  {
    ScheduleEvent e = dailySequence();
    e.kind = DEFAULTWEBPAGE;
    e.params[0] = text("index.htm");
    rows.push_back({"web page", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day E:DEFAULTWEBPAGE 1:index.htm "});
    e.params[0].clear();
    rows.push_back({"web page without text", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day E:DEFAULTWEBPAGE "});
  }
  {
    ScheduleEvent e = dailySequence();
    e.kind = 60;
    rows.push_back({"unknown kind", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Day Unknown Event.  This is not "
                    "good.  Check your script or contact tech support.\r\n"});
    e.period = 24;
    rows.push_back({"unknown period ends the report", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 Unknown Repeat Period.  This is not "
                    "good.  Check your schedule file or contact tech support.\r\n"});
    e.period = PERIOD_BOOT;
    e.set = 43;
    rows.push_back({"unknown set ends the report", e,
                    "\r\nValid Event: D:01.03.02 T:12:30 R:1 P:Boot Unknown Repeat Set.  This is "
                    "not good.  Check your schedule file or contact tech support.\r\n"});
  }
  for (const Row& row : rows) {
    EXPECT_EQ(report(row.event), row.text) << row.name;
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
