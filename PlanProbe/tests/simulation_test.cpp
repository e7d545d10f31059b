#include "session/simulation.h"

#include <gtest/gtest.h>

#include "session/session.h"
#include "tests/session_test_support.h"
#include "tests/simulation_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::crlf;
using testing::makeEvent;
using testing::setEnd;
using testing::setParam;
using testing::setValueParam;
using testing::SimRun;

std::string heading(const std::string& weekday, const std::string& date) {
  return "\n\n" + weekday + " " + date + "\n--------------------------------\nLoading Events:";
}
std::string added(const std::string& report) {
  return "\nEvent Added: " + report;
}
const std::string kExecuting = "\n\nExecuting Events:";
const std::string kNoWinner =
    "Unknown Event Type.  This is not good.  Check your schedule or contact tech support.";

ScheduleEvent withRepeat(ScheduleEvent e, int period, int repeat) {
  e.period = static_cast<int8_t>(period);
  e.repeat = static_cast<int8_t>(repeat);
  return e;
}

ScheduleEvent withValue(ScheduleEvent e, uint8_t value) {
  setValueParam(e, 0, value);
  return e;
}

struct Start {
  int month, day, year, hour, minute;
};

struct Golden {
  const char* name;
  std::vector<ScheduleEvent> events;
  Start start;
  uint32_t span;
  std::string log;
  bool loadsOnly = false;
  bool stopOnErrors = false;
  bool analysisErrors = false;
  int missingAtReload = 0;
};

// Every golden log must come out of the fast loop and the plain loop alike.
void expectGolden(const Golden& g) {
  for (bool fast : {false, true}) {
    SimRun run(g.events, g.start.month, g.start.day, g.start.year, g.start.hour, g.start.minute,
               g.span);
    run.options.loadsOnly = g.loadsOnly;
    run.options.stopOnErrors = g.stopOnErrors;
    run.missingAtReload = g.missingAtReload;
    EXPECT_EQ(run.run(fast, g.analysisErrors), crlf(g.log))
        << g.name << (fast ? " (fast)" : " (plain)");
  }
}

TEST(Simulation, GoldenLogs) {
  const ScheduleEvent everyTwo =
      withValue(withRepeat(makeEvent(STARTSEQUENCE, 1, 1, 0, 2, 0), PERIOD_MINUTE, 2), 10);
  const std::string everyTwoReport = "D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 ";

  ScheduleEvent bootStart = withValue(withRepeat(makeEvent(ON, 1, 1, 0, 9, 59), PERIOD_DAY, 1), 1);
  bootStart.flags = BOOT_START;
  const ScheduleEvent plainDaily =
      withValue(withRepeat(makeEvent(OFF, 1, 1, 0, 9, 59), PERIOD_DAY, 1), 2);
  const ScheduleEvent stopShot = withValue(makeEvent(STOP, 1, 1, 0, 12, 0), 1);
  const ScheduleEvent onShot = withValue(makeEvent(ON, 1, 1, 0, 12, 0), 3);

  ScheduleEvent send = makeEvent(SENDSTRING, 1, 1, 0, 0, 0);
  setParam(send, 0, "AT");
  setParam(send, 1, "OK");
  setValueParam(send, 2, 3);
  setValueParam(send, 3, 5);
  const ScheduleEvent onNext = withValue(makeEvent(ON, 1, 1, 0, 0, 1), 1);

  ScheduleEvent ending = withValue(withRepeat(makeEvent(ON, 1, 1, 0, 0, 0), PERIOD_MINUTE, 1), 7);
  setEnd(ending, 1, 1, 0, 0, 2);
  const ScheduleEvent bootPeriod = withRepeat(makeEvent(ON, 1, 1, 0, 5, 0), PERIOD_BOOT, 1);
  const ScheduleEvent noDate = withRepeat(makeEvent(ON, 0, 0, 0, 0, 0), PERIOD_DAY, 1);

  const Golden rows[] = {
      {"every two minutes, across midnight",
       {everyTwo},
       {1, 1, 0, 23, 57},
       6,
       heading("Saturday", "01.01.00") + added(everyTwoReport) + kExecuting +
           "\n23:58  (02:00 starttime) ElvaneStartSequence: 10" + heading("Sunday", "01.02.00") +
           added(everyTwoReport) + kExecuting +
           "\n00:00  (02:00 starttime) ElvaneStartSequence: 10"
           "\n00:02  (02:00 starttime) ElvaneStartSequence: 10"},
      {"boot start wins the boot minute, has no winner a day later",
       {bootStart, plainDaily},
       {1, 1, 0, 9, 59},
       1442,
       heading("Saturday", "01.01.00") + added("D:01.01.00 T:09:59 R:1 P:Day E:ON 1:1 ") +
           added("D:01.01.00 T:09:59 R:1 P:Day E:OFF 1:2 ") + kExecuting +
           "\n09:59 D(09:59 starttime) ElvaneOn: 1" + heading("Sunday", "01.02.00") +
           added("D:01.01.00 T:09:59 R:1 P:Day E:ON 1:1 ") +
           added("D:01.01.00 T:09:59 R:1 P:Day E:OFF 1:2 ") + kExecuting + "\n09:59 " + kNoWinner},
      {"a stop that wins its minute leaves no line",
       {stopShot, onShot},
       {1, 1, 0, 11, 59},
       3,
       heading("Saturday", "01.01.00") + added("D:01.01.00 T:12:00 E:STOP 1:1 ") +
           added("D:01.01.00 T:12:00 E:ON 1:3 ") + kExecuting},
      {"send string block, then the next minute",
       {send, onNext},
       {1, 1, 0, 0, 0},
       2,
       heading("Saturday", "01.01.00") +
           added("D:01.01.00 T:00:00 E:SENDSTRING 1:AT 2:OK 3:3 4:5 ") +
           added("D:01.01.00 T:00:01 E:ON 1:1 ") + kExecuting +
           "\n00:00  (00:00 starttime) ElvaneSendString: AT\n             Ack: OK\n"
           "         Retries: 3\n         Timeout: 5\n"
           "\n00:01  (00:01 starttime) ElvaneOn: 1"},
      {"not due after the end minute",
       {ending},
       {1, 1, 0, 0, 0},
       5,
       heading("Saturday", "01.01.00") +
           added("D:01.01.00 T:00:00 A:01.01.00 I:00:02 R:1 P:Minute E:ON 1:7 ") + kExecuting +
           "\n00:00  (00:00 starttime) ElvaneOn: 7" + "\n00:01  (00:00 starttime) ElvaneOn: 7" +
           "\n00:02  (00:00 starttime) ElvaneOn: 7"},
      {"unchecked start time 99:99 runs the boot event, then rolls to the next day",
       {bootPeriod},
       {1, 1, 0, 99, 99},
       2,
       heading("Saturday", "01.01.00") + added("D:01.01.00 T:05:00 R:1 P:Boot E:ON ") + kExecuting +
           "\n99:99  (05:00 starttime) ElvaneOn: 0" + heading("Sunday", "01.02.00") + kExecuting},
      {"loads only from 12:30 for three hours",
       {everyTwo},
       {1, 1, 0, 12, 30},
       180,
       heading("Saturday", "01.01.00") + added(everyTwoReport),
       true},
      {"loads only: the boot event is loaded on the first day only",
       {bootPeriod},
       {1, 1, 0, 22, 0},
       185,
       heading("Saturday", "01.01.00") + added("D:01.01.00 T:05:00 R:1 P:Boot E:ON ") +
           heading("Sunday", "01.02.00"),
       true},
      {"stop on errors after the analysis: the first load, then the end",
       {everyTwo},
       {1, 1, 0, 0, 0},
       100,
       heading("Saturday", "01.01.00") + added(everyTwoReport),
       false,
       true,
       true},
      {"stop on errors reported by the first load",
       {noDate, everyTwo},
       {1, 1, 0, 0, 0},
       100,
       heading("Saturday", "01.01.00") + "\n1 Error: BAD_MONTH\t\t\t\n" +
           added("D:-30.00.00 T:00:00 R:1 P:Day E:ON ") + added(everyTwoReport),
       false,
       true},
      {"an event without a start date is reported every minute",
       {noDate},
       {2, 29, 0, 23, 58},
       3,
       heading("Tuesday", "02.29.00") + "\n1 Error: BAD_MONTH\t\t\t\n" +
           added("D:-30.00.00 T:00:00 R:1 P:Day E:ON ") + kExecuting +
           "\n23:58 \nError: BAD_MONTH\t\t\t\n" + "\n23:59 \nError: BAD_MONTH\t\t\t\n" +
           heading("Wednesday", "03.01.00") + "\n1 Error: BAD_MONTH\t\t\t\n" +
           added("D:-30.00.00 T:00:00 R:1 P:Day E:ON ") + kExecuting +
           "\n00:00 \nError: BAD_MONTH\t\t\t\n (00:00 starttime) ElvaneOn: 0"},
      {"schedule gone at the second reload",
       {everyTwo},
       {12, 31, 99, 23, 59},
       5,
       heading("Thursday", "12.31.99") + added(everyTwoReport) + kExecuting +
           heading("Saturday", "01.01.00") + "Couldn't open schedule.txt.\n",
       false,
       false,
       false,
       2},
      {"no span, no heading", {everyTwo}, {1, 1, 0, 0, 0}, 0, ""},
  };
  for (const Golden& row : rows) {
    expectGolden(row);
  }
}

TEST(Simulation, ProgressShownWhenItsFigureChanges) {
  for (bool fast : {false, true}) {
    SimRun run({}, 1, 1, 0, 0, 0, 4);
    run.run(fast);
    EXPECT_EQ(run.console(), "\r25% complete \r50% complete \r75% complete \r100% complete ");
  }
  // A span of 100 minutes skips figures where the floating-point figure falls just short.
  std::string plain;
  for (bool fast : {false, true}) {
    SimRun run({}, 1, 1, 0, 0, 0, 100);
    run.run(fast);
    if (!fast) {
      plain = run.console();
      EXPECT_EQ(plain.find("\r29% "), std::string::npos);
    }
    EXPECT_EQ(run.console(), plain);
  }
  SimRun loadsOnly({}, 1, 1, 0, 0, 0, 130);
  loadsOnly.options.loadsOnly = true;
  loadsOnly.run(true);
  EXPECT_EQ(loadsOnly.console(), "\r46% complete \r92% complete \r100% complete ");
}

// The whole program over a schedule file: appending to an old log writes the same simulation
// as overwriting, minute stamps withdrawn alike.
TEST(Simulation, AppendAndOverwriteWriteTheSameSimulation) {
  testing::ScratchDir dir;
  testing::writeFile(dir.file("s.txt"),
                     "D:01.01.00 T:00:01 P:MINUTE R:3 E:ON 1:5\n"
                     "D:01.01.00 T:00:02 P:MINUTE R:3 E:STOP 1:1\n");
  std::string logs[2];
  for (int append = 0; append < 2; ++append) {
    const std::string log = dir.file("o" + std::to_string(append) + ".txt");
    testing::writeFile(log, "old\r\n");
    std::vector<std::string> words{"-s{dir}/s.txt", "-o" + log, "+i8"};
    if (append == 1) {
      words.push_back("-p");
    }
    const testing::Args args(dir, words);
    std::ostringstream console;
    Session session(console, [] {});
    ASSERT_EQ(session.run(args.view()), 0);
    const std::string text = testing::readFile(log);
    logs[append] = text.substr(text.find("Executing Events:"));
  }
  EXPECT_EQ(logs[0], logs[1]);
  EXPECT_EQ(logs[0], crlf("Executing Events:\n00:01  (00:01 starttime) ElvaneOn: 5"
                          "\n00:04  (00:01 starttime) ElvaneOn: 5"
                          "\n00:07  (00:01 starttime) ElvaneOn: 5\nDone.\n"));
}

}  // namespace
}  // namespace quillmar::planprobe
