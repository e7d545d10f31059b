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

TEST(Parser, AFieldWordNamesTheLongestWordItBeginsWith) {
  struct Row {
    const char* fields;
    const char* shown;  // in the line's report, or the error it gives
  };
  const Row rows[] = {
      {"P:SUNRISE", "P:Sunrise "},  {"P:sunsets", "P:Sunset "}, {"P:SUNDAY", "P:Sunday "},
      {"P:SUN", "P:Sunday "},       {"P:MONTH", "P:Monday "},   {"P:HOURLY", "P:Hour "},
      {"P:DAYS", "BAD_PERIOD"},     {"P:DA", "BAD_PERIOD"},     {"P:DAY S:MONTHLY", "S:Month "},
      {"P:DAY S:MAYDAY", "S:May "}, {"P:DAY S:JU", "BAD_SET"},
  };
  for (const Row& row : rows) {
    const Parsed parsed = parse(std::string("D:07.24.02 T:12:00 R:1 ") + row.fields + " E:ON 1:1");
    EXPECT_NE(parsed.log.find(row.shown), std::string::npos) << row.fields << ": " << parsed.log;
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
