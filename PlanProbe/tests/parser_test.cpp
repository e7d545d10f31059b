#include "schedule/parser.h"

#include <gtest/gtest.h>

#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::ScratchDir;
using testing::writeFile;

// A clock on 24 July 2002 at 00:00 that booted at 21:32, with a settable day test.
class FakeHost final : public ScheduleHost {
 public:
  ClockReading clockNow() const override { return clock; }
  void captureBootTime() override { ++captures; }
  BootTime bootTime() const override { return {21, 32}; }
  ResultCode loadsToday(ScheduleEvent& event, const char* context) override {
    (void)event;
    lastContext = context;
    return dayTest;
  }

  ClockReading clock{2, 7, 24, 0, 0, 20724};
  ResultCode dayTest = SUCCESS;
  int captures = 0;
  std::string lastContext;
};

struct Parsed {
  ResultCode result;
  std::string log;
  EventList events;
};

Parsed parse(const std::string& text, bool syntaxMode = true, FakeHost* host = nullptr) {
  ScratchDir dir;
  writeFile(dir.file("s.txt"), text);
  FakeHost localHost;
  Parsed parsed{SUCCESS, "", {}};
  {
    ResultsLog log(std::make_unique<StringSink>(parsed.log));
    ParseTarget target{parsed.events, log, host != nullptr ? *host : localHost, nullptr};
    parsed.result = loadScheduleFile(dir.file("s.txt"), syntaxMode, target);
  }
  return parsed;
}

std::string valid(const std::string& report) {
  return "\r\nValid Event: " + report;
}

std::string error(int line, const std::string& message) {
  return "\r\n" + std::to_string(line) + " Error: " + message + "\r\n";
}

const std::string kResponse1 = "\r\n1 Reported Response Number: 1";

TEST(Parser, LinesAndTheirReports) {
  struct Row {
    std::string text;
    std::string log;
  };
  const std::string on = "E:ON 1:1 ";
  const Row rows[] = {
      // Lines without an event.
      {"", ""},
      {"\n\n", ""},
      {"; comment D:01.01.02 E:ON", ""},
      {"T:12:30", ""},
      {"Q:5 :x", ""},
      {"D:01.01.02 E:ON 1:1 ; comment without line feed", valid("D:01.01.02 T:00:00 E:ON 1:1 ")},
      // Start times.
      {"D:01.01.02 T: 12:30", error(1, "BAD_STARTHOUR\t\t")},
      {"D:01.01.02 T:7:05 E:ON 1:1", valid("D:01.01.02 T:07:05 " + on)},
      {"D:01.01.02 T:07:5", error(1, "BAD_STARTMIN\t\t")},
      {"D:01.01.02 T:12:60", error(1, "BAD_STARTMIN\t\t")},
      {"D:01.01.02 T:24:00", error(1, "BAD_STARTHOUR\t\t")},
      {"D:01.01.02 T:12.30", error(1, "BAD_STARTTIME\t\t")},
      {"D:01.01.02 T:1230", error(1, "BAD_STARTTIME\t\t")},
      {"D:01.01.02 T:XYZ", error(1, "BAD_STARTHOUR\t\t")},
      {"D:01.01.02 T:SOON", error(1, "BAD_STARTTIME\t\t")},
      {"D:01.01.02 T:", error(1, "BAD_STARTHOUR\t\t")},
      {"D:01.01.02 T:boot E:ON 1:1", valid("D:01.01.02 T:21:32 " + on)},
      {"D:07.24.02 T:sunrise E:ON 1:1", valid("D:07.24.02 T:06:06 " + on)},
      {"D:07.24.02 T:SUNSET E:ON 1:1", valid("D:07.24.02 T:18:06 " + on)},
      // End times and dates.
      {"D:07.24.02 A:07.25.02 I:SUNSET T:SUNRISE P:DAY R:1 E:ON 1:1",
       valid("D:07.24.02 T:06:06 A:07.25.02 I:18:06 R:1 P:Day " + on)},
      {"D:07.24.02 I:23:59 E:ON 1:1", valid("D:07.24.02 T:00:00 " + on)},
      {"D:07.24.02 I:BOOT", error(1, "BAD_ENDHOUR\t\t\t")},
      {"D:07.24.02 I:SUNDOWN", error(1, "BAD_ENDTIME\t\t\t")},
      {"D:07.24.02 I:12-30", error(1, "BAD_ENDTIME\t\t\t")},
      {"D:07.24.02 I:12:3x", error(1, "BAD_ENDMIN\t\t\t")},
      {"D:07.24.02 A:13.01.02", error(1, "BAD_ENDMONTH\t\t")},
      {"D:07.24.02 A:01.x", error(1, "BAD_ENDDAY\t\t\t")},
      {"D:07.24.02 A:01.01.202", error(1, "BAD_ENDYEAR\t\t\t")},
      {"D:07.24.02 A:02.30.02", error(1, "BAD_ENDDATE\t\t\t")},
      {"D:07.24.02 A:02 01.02", error(1, "BAD_ENDDATE\t\t\t")},
      // Start dates.
      {"D:02.29.04 E:ON 1:1", valid("D:02.29.04 T:00:00 " + on)},
      {"D:02.29.01", error(1, "BAD_STARTDATE\t\t")},
      {"D:13.01.02", error(1, "BAD_STARTMONTH\t\t")},
      {"D:x", error(1, "BAD_STARTMONTH\t\t")},
      {"D:01.32.02", error(1, "BAD_STARTDATE\t\t")},
      {"D:01,01,02", error(1, "BAD_STARTDATE\t\t")},
      {"D:01.x.02", error(1, "BAD_STARTDAY\t\t")},
      {"D:01.01.x", error(1, "BAD_STARTYEAR\t\t")},
      {"D:01.01.202", error(1, "BAD_STARTYEAR\t\t")},
      {"D:01.01.2002 E:ON 1:1", valid("D:01.01.02 T:00:00 " + on)},
      {"D:1/2-3 E:ON 1:1", valid("D:01.02.03 T:00:00 " + on)},
      {"D:00.05.02 E:ON 1:1", valid("D:00.05.02 T:00:00 " + on)},
      {"D:01.00.02 E:ON 1:1", valid("D:01.00.02 T:00:00 " + on)},
      {"T:12:30 E:ON 1:1", valid("D:-30.00.00 T:12:30 " + on)},
      {"D:06.01.02 T:12:30",
       valid("D:06.01.02 T:12:30 Unknown Event.  This is not good.  Check your script or "
             "contact tech support.\r\n")},
      // Periods and sets.
      {"D:01.01.02 P:day R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Day " + on)},
      {"D:01.01.02 P:SUNDAY R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Sunday " + on)},
      {"D:01.01.02 P:SUNRISE R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Sunrise " + on)},
      {"D:01.01.02 P:SUNSET R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Sunset " + on)},
      {"D:01.01.02 P:MONTH R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Monday " + on)},
      {"D:01.01.02 P:MINUTES R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Minute " + on)},
      {"D:01.01.02 P:HOURLY R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Hour " + on)},
      {"D:01.01.02 P:YEARS R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Year " + on)},
      {"D:01.01.02 P:BOOT R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Boot " + on)},
      {"D:01.01.02 P:SAT R:1 E:ON 1:1", valid("D:01.01.02 T:00:00 R:1 P:Saturday " + on)},
      {"D:01.01.02 P:DAYS", error(1, "BAD_PERIOD\t\t\t")},
      {"D:01.01.02 P: DAY", error(1, "BAD_PERIOD\t\t\t")},
      {"D:01.01.02 P:DAY R:1 S:MONDAY E:ON 1:1",
       valid("D:01.01.02 T:00:00 R:1 P:Day S:Month " + on)},
      {"D:01.01.02 P:DAY R:1 S:jan E:ON 1:1",
       valid("D:01.01.02 T:00:00 R:1 P:Day S:January " + on)},
      {"D:01.01.02 P:DAY R:1 S:DECEMBER E:ON 1:1",
       valid("D:01.01.02 T:00:00 R:1 P:Day S:December " + on)},
      {"D:01.01.02 S:SUMMER", error(1, "BAD_SET\t\t\t\t")},
      // Repeat counts.
      {"D:01.01.02 P:DAY E:ON 1:1", kResponse1},
      {"D:01.01.02 P:DAY R:0 E:ON 1:1", kResponse1},
      {"D:01.01.02 P:DAY R: 5 E:ON 1:1", kResponse1},
      {"D:01.01.02 P:DAY R:1 R:2 E:ON 1:1", valid("D:01.01.02 T:00:00 R:12 P:Day " + on)},
      {"D:01.01.02 P:DAY R:127 E:ON 1:1", valid("D:01.01.02 T:00:00 R:127 P:Day " + on)},
      {"D:01.01.02 P:DAY R:128 E:ON 1:1", kResponse1},
      {"D:01.01.02 P:DAY R:256 E:ON 1:1", kResponse1},
      {"D:01.01.02 R:5 S:JUNE A:01.01.01 E:ON 1:1",
       valid("D:01.01.02 T:00:00 A:01.01.01 I:00:00 R:5 S:June " + on)},
      // Events and parameters.
      {"D:01.01.02 E:ONN", error(1, "BAD_EVENT\t\t\t")},
      {"D:01.01.02 e:on 1:3 2:4", valid("D:01.01.02 T:00:00 E:ON 1:3 ")},
      {"D:01.01.02 E:SETVAREQ 1:3 2:4", valid("D:01.01.02 T:00:00 E:SETVAREQ 1:3 2:4 ")},
      {"D:01.01.02 E:ON 1:5 D:01.02.02", error(1, "BAD_DATA_PARAM1\t\t")},
      {"D:01.01.02 E:SENDSTRING 2:\"\\q\"", error(1, "BAD_DATA_PARAM2\t\t")},
      {"D:01.01.02 E:SENDSTRING 3:h ", error(1, "BAD_DATA_PARAM3\t\t")},
      {"D:01.01.02 E:SENDSTRING 4:h", error(1, "BAD_DATA_PARAM4\t\t")},
      {"D:01.01.02 E:ON 1:1\t2:5", valid("D:01.01.02 T:00:00 " + on)},
      {"D:01.01.02 E:ON 1:1\t2:x", error(1, "BAD_DATA_PARAM2\t\t")},
      // Several lines.
      {"D:13.01.02 T:99:99\nD:01.01.02 T:25:00",
       error(1, "BAD_STARTMONTH\t\t") + error(2, "BAD_STARTHOUR\t\t")},
      {"D:01.01.02 E:ON 1:1\r\nD:13.01.02\r\n",
       valid("D:01.01.02 T:00:00 " + on) + error(2, "BAD_STARTMONTH\t\t")},
      {"D:01.01.02 E:DEFAULTWEBPAGE 1:\"a\nb\"\nD:13.01.02\n",
       valid("D:01.01.02 T:00:00 E:DEFAULTWEBPAGE 1:a\r\nb ") + error(2, "BAD_STARTMONTH\t\t")},
      {"\n\n; x\nD:05.01.02 A:04.01.02 P:DAY R:2 E:ON 1:7",
       valid("D:05.01.02 T:00:00 A:04.01.02 I:00:00 R:2 P:Day E:ON 1:7 ") +
           "\r\n4 Warning: ENDDATE IS EARLIER THAN STARTDATE - EVENT WILL NOT BE LOADED\r\n"},
      {"D:05.01.02 A:04.01.02 E:ON 1:7", valid("D:05.01.02 T:00:00 A:04.01.02 I:00:00 E:ON 1:7 ")},
  };
  for (const Row& row : rows) {
    const Parsed parsed = parse(row.text);
    EXPECT_EQ(parsed.result, SUCCESS) << row.text;
    EXPECT_EQ(parsed.log, row.log) << row.text;
  }
}

TEST(Parser, StoredFields) {
  const Parsed parsed = parse(
      "D:00.05.02 T:BOOT P:DAY R:1 E:SENDSTRING 1:300 2:\"ab\" 3:1 4:h1ff\n"
      "D:01.01.02 P:DAY R:250 S:DEC A:12.31.03 I:12:00\n"
      "D:01.01.02 R:250\n");
  ASSERT_EQ(parsed.events.size(), 2u);
  const ScheduleEvent& first = *parsed.events.begin();
  EXPECT_EQ(first.startMonth, 30);
  EXPECT_EQ(first.startKey, 20005);
  EXPECT_EQ(first.endKey, 0);
  EXPECT_EQ(first.flags, BOOT_START);
  EXPECT_EQ(first.startHour, 21);
  EXPECT_EQ(first.startMinute, 32);
  EXPECT_EQ(first.params[0], (ParamBuffer{1, 44, 0}));
  EXPECT_EQ(first.params[1], (ParamBuffer{'a', 'b', 0}));
  EXPECT_EQ(first.params[2], (ParamBuffer{1, 0}));
  EXPECT_EQ(first.params[3], (ParamBuffer{1, 255, 0}));
  const ScheduleEvent& oneShot = *(parsed.events.begin() + 1);
  EXPECT_EQ(oneShot.flags, ONE_SHOT);
  EXPECT_EQ(oneShot.repeat, -6);  // 250 kept modulo 256, as the unit's field holds it
  EXPECT_TRUE(oneShot.repeatOverflow);
  EXPECT_EQ(parsed.log, valid("D:00.05.02 T:21:32 R:1 P:Day E:SENDSTRING 1:\x01, 2:ab 3:1 4:1 ") +
                            "\r\n2 Reported Response Number: 1" +
                            valid("D:01.01.02 T:00:00 Unknown Event.  This is not good.  "
                                  "Check your script or contact tech support.\r\n"));
}

TEST(Parser, DailyLoadingAsksTheDayTest) {
  struct Row {
    ResultCode dayTest;
    std::string log;
  };
  const std::string line = "\n\nD:07.20.02 T:12:00 P:SUNRISE R:1 E:ON 1:1";
  const Row rows[] = {
      {SUCCESS, "\r\nEvent Added: D:07.20.02 T:06:06 R:1 P:Sunrise E:ON 1:1 "},
      {NOT_TODAY, ""},
      {BAD_REPEAT_PERIOD, "\r\n3 Error: BAD_REPEAT_PERIOD\t\r\n"},
  };
  for (const Row& row : rows) {
    FakeHost host;
    host.dayTest = row.dayTest;
    const Parsed parsed = parse(line, false, &host);
    EXPECT_EQ(parsed.log, row.log) << int{row.dayTest};
    EXPECT_EQ(host.lastContext, "3");
    EXPECT_EQ(parsed.events.size(), row.dayTest == SUCCESS ? 1u : 0u);
  }
  // The syntax analysis keeps the written time and never asks the day test.
  FakeHost host;
  host.dayTest = NOT_TODAY;
  const Parsed parsed = parse(line, true, &host);
  EXPECT_EQ(parsed.log, valid("D:07.20.02 T:12:00 R:1 P:Sunrise E:ON 1:1 "));
  EXPECT_EQ(host.lastContext, "");
}

TEST(Parser, DailyLoadingMovesSunEventsThatStartedBeforeToday) {
  // The clock stands on 24 July 2002, whose sunrise is 06:06 and sunset 18:06 at the site.
  struct Row {
    const char* rule;
    std::string line;
    std::string added;
  };
  const Row rows[] = {
      {"sunrise period from the day before: today's sunrise", "D:07.23.02 T:12:00 P:SUNRISE",
       "D:07.23.02 T:06:06 R:1 P:Sunrise"},
      {"sunset period from the day before: today's sunset", "D:07.23.02 T:12:00 P:SUNSET",
       "D:07.23.02 T:18:06 R:1 P:Sunset"},
      {"sunrise period on its own start date: its written time", "D:07.24.02 T:12:00 P:SUNRISE",
       "D:07.24.02 T:12:00 R:1 P:Sunrise"},
      {"sunset period from the day after: its written time", "D:07.25.02 T:12:00 P:SUNSET",
       "D:07.25.02 T:12:00 R:1 P:Sunset"},
      {"a day period from the day before: its written time", "D:07.23.02 T:12:00 P:DAY",
       "D:07.23.02 T:12:00 R:1 P:Day"},
  };
  for (const Row& row : rows) {
    FakeHost host;
    const Parsed parsed = parse(row.line + " R:1 E:ON 1:1", false, &host);
    EXPECT_EQ(parsed.log, "\r\nEvent Added: " + row.added + " E:ON 1:1 ") << row.rule;
  }
}

TEST(Parser, EveryParseStartsFromAnEmptyListAndTakesTheBootTime) {
  ScratchDir dir;
  writeFile(dir.file("s.txt"), "D:01.01.02 E:ON 1:1\nD:01.01.02 E:OFF 1:1\n");
  FakeHost host;
  std::string text;
  ResultsLog log(std::make_unique<StringSink>(text));
  EventList events;
  ParseTarget target{events, log, host, nullptr};
  EXPECT_EQ(loadScheduleFile(dir.file("s.txt"), true, target), SUCCESS);
  EXPECT_EQ(loadScheduleFile(dir.file("s.txt"), false, target), SUCCESS);
  EXPECT_EQ(events.size(), 2u);
  EXPECT_EQ(host.captures, 2);
}

TEST(Parser, FilesThatCannotBeRead) {
  ScratchDir dir;
  FakeHost host;
  std::string text;
  ResultsLog log(std::make_unique<StringSink>(text));
  EventList events;
  ParseTarget target{events, log, host, nullptr};
  EXPECT_EQ(loadScheduleFile(dir.file("none.txt"), true, target), FILE_OPEN_FAILED);
  EXPECT_EQ(loadScheduleFile(dir.path().string(), true, target), FILE_OPEN_FAILED);
  EXPECT_EQ(loadScheduleFile("", true, target), FILE_OPEN_FAILED);
  EXPECT_EQ(text, "");
}

TEST(Parser, HostileBytesAreReportedNotTrusted) {
  using namespace std::string_literals;
  struct Row {
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {"zero bytes", "D:01.01.02\0E:ON 1:1\n\0\0:\0"s},
      {"binary", "\xff\xfe:\x80T:\x01\x02\n\r\r:::1:\"\x00"s},
      {"a megabyte line", "D:01.01.02 E:ON 1:1 " + std::string(1 << 20, 'x')},
      {"a text item that never closes", "D:01.01.02 E:ON 1:\"" + std::string(5000, 'y')},
      {"a megabyte of digits", "D:01.01.02 P:DAY R:" + std::string(1 << 20, '9') + " E:ON 1:1"},
  };
  for (const Row& row : rows) {
    const Parsed parsed = parse(row.text);
    EXPECT_EQ(parsed.result, SUCCESS) << row.name;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
