#include <gtest/gtest.h>

#include <sstream>

#include "session/clock_host.h"
#include "session/session.h"
#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::Args;
using testing::logHeader;
using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;

const std::string kAnalyzeEnd =
    "\r\n\r\nAnalyze option used. No simulation will be performed.\r\n\r\nDone.\r\n";
const std::string kNewSession =
    "\r\n\r\n\r\n-------------------------(new session)-----------------------------\r\n\r\n";

std::string simulationHeader(const std::string& minutes, const std::string& bootup) {
  return "\r\n\r\n\r\n\r\n\r\n\r\nStarting Simulation (time is military)"
         "\r\n--------------------------------------"
         "\r\nWill simulate for " +
         minutes + " total minutes\r\nBootup at: " + bootup + "\r\n";
}

// The simulated days of an empty schedule: a heading each, nothing loaded, nothing executed.
std::string emptyDays(const std::vector<std::string>& days) {
  std::string text;
  for (const std::string& day : days) {
    text += "\r\n\r\n" + day +
            "\r\n--------------------------------\r\nLoading Events:\r\n\r\nExecuting Events:";
  }
  return text;
}

// Runs a session with the schedule {dir}/s.txt (empty) and the log {dir}/o.txt.
int run(const ScratchDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"-s{dir}/s.txt", "-o{dir}/o.txt"});
  const Args arguments(dir, args);
  std::ostringstream console;
  Session session(console, [] {});
  return session.run(arguments.view());
}

TEST(SessionLog, ContentByRun) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string log;  // after the header
  };
  const Row rows[] = {
      {"analysis only", {"-a"}, kAnalyzeEnd},
      {"default week",
       {},
       simulationHeader("10080", "00:00 \r\n       on: 01.01.00") +
           emptyDays({"Saturday 01.01.00", "Sunday 01.02.00", "Monday 01.03.00", "Tuesday 01.04.00",
                      "Wednesday 01.05.00", "Thursday 01.06.00", "Friday 01.07.00"}) +
           "\r\nDone.\r\n"},
      {"start date and time",
       {"-d072402", "-t2132", "+w0"},
       simulationHeader("0", "21:32 \r\n       on: 07.24.02") + "\r\nDone.\r\n"},
      {"unchecked time",
       {"-t9999", "+d1", "+h1"},
       simulationHeader("1500", "99:99 \r\n       on: 01.01.00") +
           emptyDays({"Saturday 01.01.00", "Sunday 01.02.00", "Monday 01.03.00"}) +
           "\r\nDone.\r\n"},
      {"schedule missing",
       {"-s{dir}/none.txt"},
       "\r\nCouldn't open {dir}/none.txt. Stopping now.\r\n"},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    run(dir, row.args);
    EXPECT_EQ(readFile(dir.file("o.txt")), logHeader() + dir.expand(row.log)) << row.name;
  }
}

TEST(SessionLog, AppendKeepsOldContentOverwriteDropsIt) {
  struct Row {
    const char* old;  // null: no log before the run
    bool append;
    std::string log;
  };
  const Row rows[] = {
      {"old log\r\n", false, logHeader() + kAnalyzeEnd},
      {"old log\r\n", true, "old log\r\n" + kNewSession + logHeader() + kAnalyzeEnd},
      {nullptr, true, kNewSession + logHeader() + kAnalyzeEnd},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    if (row.old != nullptr) {
      writeFile(dir.file("o.txt"), row.old);
    }
    std::vector<std::string> args{"-a"};
    if (row.append) {
      args.push_back("-p");
    }
    EXPECT_EQ(run(dir, args), 0);
    EXPECT_EQ(readFile(dir.file("o.txt")), row.log) << row.append;
  }
}

TEST(SessionLog, FailedStartLeavesExistingLogAlone) {
  const std::vector<std::string> failures[] = {{"+x5"}, {"-d01"}, {"-d043100"}, {"+d-1"}};
  for (const auto& args : failures) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    writeFile(dir.file("o.txt"), "old log");
    run(dir, args);
    EXPECT_EQ(readFile(dir.file("o.txt")), "old log") << args[0];
  }
}

TEST(SimClock, BootTimeIsTakenOnce) {
  SimClock clock;
  BootState boot;
  ResultsLog log;
  ClockHost host(clock, boot, log);
  host.captureBootTime();
  const BootState first = boot;
  EXPECT_EQ(first.bootDateKey, 0);  // the DateKey is set by the session after its date check
  EXPECT_EQ(first.bootHour, 0);
  clock.setTime(5, 30);
  host.captureBootTime();
  EXPECT_EQ(host.bootTime().hour, 0);
  EXPECT_EQ(host.bootTime().minute, 0);
}

}  // namespace
}  // namespace quillmar::planprobe
