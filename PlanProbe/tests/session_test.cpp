#include "session/session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::logHeader;
using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;

// The usage text, as the checked-in golden/usage.txt holds it for the default schedule.
std::string usage(const std::string& source) {
  const std::string text = readFile(QUILLMAR_SOURCE_DIR "/PlanProbe/tests/golden/usage.txt");
  const std::string schedule = "(default is schedule.txt)";
  return text.substr(0, text.find(schedule)) + "(default is " + source + ")" +
         text.substr(text.find(schedule) + schedule.size());
}

const std::string kBanner =
    "\nBTV Plan Probe: (press Ctrl+C to cancel)\n----------------------------------------------\n";

std::string reading(const std::string& source, const std::string& log) {
  return kBanner + "Reading " + source + " and writing results to " + log + ".\n";
}

// The progress line of a simulation of 100 minutes or more: every figure from 00 to 100, then
// the line end that closes it.
std::string fullProgress() {
  std::string text;
  for (int figure = 0; figure <= 100; ++figure) {
    text += (figure < 10 ? "\r0" : "\r") + std::to_string(figure) + "% complete ";
  }
  return text + "\n";
}

const std::string kNoSuchFile = "Reason: No such file or directory\n";

struct Outcome {
  std::string console;
  int status;
  int keyWaits;
};

// Runs one session over `args`, each "{dir}" replaced by the scratch folder.
Outcome runIn(const ScratchDir& dir, const std::vector<std::string>& args) {
  const testing::Args arguments(dir, args);
  std::ostringstream console;
  int keyWaits = 0;
  Session session(console, [&keyWaits] { ++keyWaits; });
  const int status = session.run(arguments.view());
  return {console.str(), status, keyWaits};
}

TEST(CommandLine, ConsoleStatusAndLog) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string console;  // "{dir}" stands for the scratch folder
    int status;
    bool logCreated;
  };
  const std::string s = "{dir}/s.txt";
  const std::string o = "{dir}/o.txt";
  const std::string so = reading(s, o);
  const std::string analyzed = "Analyze option used.  Stopping now.\n";
  const Row rows[] = {
      {"analysis only", {"-s" + s, "-o" + o, "-a"}, so + analyzed, 0, true},
      {"run to the simulation", {"-s" + s, "-o" + o}, so + fullProgress(), 0, true},
      {"flag letters after the option are ignored",
       {"-s" + s, "-o" + o, "-axyz"},
       so + analyzed,
       0,
       true},
      {"unknown + option",
       {"-s" + s, "+x5", "-o" + o},
       "Error: unknown command line argument: +x5\n\n" + usage(s),
       0,
       false},
      {"bare +",
       {"+"},
       "Error: unknown command line argument: +\n\n" + usage("schedule.txt"),
       0,
       false},
      {"unknown arguments go on",
       {"-q", "x", "-", "-S", "", "-s" + s, "-o" + o, "-a"},
       "unknown argument: -q unknown argument: x unknown argument: - unknown argument: -S "
       "unknown argument:  " +
           so + analyzed,
       0,
       true},
      {"time 99:99 accepted", {"-s" + s, "-o" + o, "-t9999", "-a"}, so + analyzed, 0, true},
      {"29 February 2000", {"-s" + s, "-o" + o, "-d022900", "-a"}, so + analyzed, 0, true},
      {"month 00", {"-s" + s, "-o" + o, "-d000000", "-a"}, so + analyzed, 0, true},
      {"month 13", {"-s" + s, "-o" + o, "-d130100", "-a"}, so + analyzed, 0, true},
      {"month 99, day 31", {"-s" + s, "-o" + o, "-d993100", "-a"}, so + analyzed, 0, true},
      {"log in a missing folder",
       {"-s" + s, "-o{dir}/none/o.txt"},
       reading(s, "{dir}/none/o.txt") +
           "The file {dir}/none/o.txt could not be opened. Quitting.\n" + kNoSuchFile,
       -1,
       false},
      {"schedule missing",
       {"-s{dir}/none.txt", "-o" + o},
       reading("{dir}/none.txt", o) +
           "Couldn't open {dir}/none.txt!!!! Press any key to continue.\n" + kNoSuchFile,
       -1,
       true},
      {"schedule is a folder",
       {"-s{dir}", "-o" + o},
       reading("{dir}", o) + "Couldn't open {dir}!!!! Press any key to continue.\n" +
           "Reason: Is a directory\n",
       -1,
       true},
      {"-s and its name apart",
       {"-s", "schedule.txt", "-o" + o},
       "unknown argument: schedule.txt " + reading("", o) +
           "Couldn't open !!!! Press any key to continue.\n" + kNoSuchFile,
       -1,
       true},
      {"later option overrides",
       {"-s{dir}/none.txt", "-s" + s, "-o{dir}/none/o.txt", "-o" + o, "-d043100", "-d010100", "-a"},
       so + analyzed,
       0,
       true},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    const Outcome outcome = runIn(dir, row.args);
    EXPECT_EQ(outcome.console, dir.expand(row.console)) << row.name;
    EXPECT_EQ(outcome.status, row.status) << row.name;
    EXPECT_EQ(std::filesystem::exists(dir.file("o.txt")), row.logCreated) << row.name;
    const bool waits = row.console.find("Press any key") != std::string::npos;
    EXPECT_EQ(outcome.keyWaits, waits ? 1 : 0) << row.name;
  }
}

// Start options that are refused before anything is opened: the reason, status -1, and an old
// log left as it was.
TEST(CommandLine, RefusedStartOptions) {
  const std::string sixDigits =
      "\n6 characters are required in the start date. The format is mmddyy. Exiting\n";
  const std::string fourDigits =
      "\n4 characters are required in the start time. The format is hhmm. Exiting\n";
  const std::string span = ": the span to simulate must add up to 0 to 2147483647 minutes.\n";
  const std::string invalidDate =
      reading("{dir}/s.txt", "{dir}/o.txt") + "Invalid start date.\n Exiting.";
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"-d01010"}, sixDigits},
      {{"-d0101001"}, sixDigits},
      {{"-d01a100"}, "Found a non-number character in start the date. Exiting.\n"},
      {{"-d01a1001"}, "Found a non-number character in start the date. Exiting.\n"},
      {{"-d010100a"}, sixDigits},
      {{"-d"}, sixDigits},
      {{"-d043100"}, invalidDate},  // 31 April
      {{"-d022901"}, invalidDate},  // 29 February 2001
      {{"-d019900"}, invalidDate},
      {{"-t123"}, fourDigits},
      {{"-t12345"}, fourDigits},
      {{"-t12a4"}, "Found a non-number character in the start time. Exiting."},
      {{"+d-1"}, "Error: +d-1" + span},
      {{"+y4085", "+i407647", "+i1"}, "Error: +i1" + span},
      {{"+w99999999999999999999"}, "Error: +w99999999999999999999" + span},
  };
  for (const auto& [args, console] : rows) {
    ScratchDir dir;
    writeFile(dir.file("o.txt"), "old log");
    std::vector<std::string> all{"-s{dir}/s.txt", "-o{dir}/o.txt"};
    all.insert(all.end(), args.begin(), args.end());
    const Outcome outcome = runIn(dir, all);
    EXPECT_EQ(outcome.console, dir.expand(console)) << args[0];
    EXPECT_EQ(outcome.status, -1) << args[0];
    EXPECT_EQ(readFile(dir.file("o.txt")), "old log") << args[0];
  }
}

#ifndef _WIN32
// A log that fills the disk says so and why, on a line of its own after the progress line.
TEST(CommandLine, LogWriteFailureSaysWhy) {
  const std::string fullDisk =
      "The file /dev/full could not be written completely.\nReason: No space left on device\n";
  struct Row {
    const char* name;
    std::vector<std::string> args;
    std::string console;
  };
  const Row rows[] = {
      {"analysis only",
       {"-s{dir}/s.txt", "-o/dev/full", "-a"},
       reading("{dir}/s.txt", "/dev/full") + "Analyze option used.  Stopping now.\n" + fullDisk},
      {"after the progress line",
       {"-s{dir}/s.txt", "-o/dev/full"},
       reading("{dir}/s.txt", "/dev/full") + fullProgress() + fullDisk},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    const Outcome outcome = runIn(dir, row.args);
    EXPECT_EQ(outcome.console, dir.expand(row.console)) << row.name;
    EXPECT_EQ(outcome.status, -1) << row.name;
  }
}
#endif

// A log that would be the schedule file itself, however it is named, is refused before
// anything is opened for writing; the schedule stays as it was.
TEST(CommandLine, LogThatIsTheScheduleIsRefused) {
  namespace fs = std::filesystem;
  struct Row {
    const char* name;
    std::string source;  // the -s argument; {dir}/s.txt holds the schedule unless it links
    std::string log;     // the -o argument
    void (*prepare)(const ScratchDir& dir);
  };
  const auto none = [](const ScratchDir&) {};
  const Row rows[] = {
      {"the same path", "{dir}/s.txt", "{dir}/s.txt", none},
      {"with ./", "{dir}/s.txt", "{dir}/./s.txt", none},
      {"through a folder and ..", "{dir}/s.txt", "{dir}/sub/../s.txt",
       [](const ScratchDir& dir) { fs::create_directory(dir.file("sub")); }},
      {"a hard link", "{dir}/s.txt", "{dir}/hard.txt",
       [](const ScratchDir& dir) {
         fs::create_hard_link(dir.file("s.txt"), dir.file("hard.txt"));
       }},
#ifndef _WIN32  // symbolic links need rights that Windows users seldom have
      {"the log a symbolic link to the schedule", "{dir}/s.txt", "{dir}/link.txt",
       [](const ScratchDir& dir) { fs::create_symlink("s.txt", dir.file("link.txt")); }},
      {"the schedule a symbolic link to the log", "{dir}/link.txt", "{dir}/s.txt",
       [](const ScratchDir& dir) { fs::create_symlink("s.txt", dir.file("link.txt")); }},
#endif
      {"a missing schedule spelt two ways", "{dir}/new.txt", "{dir}/./new.txt", none},
  };
  const std::string schedule = "D:01.03.02 T:12:30 P:DAY R:1 E:ON 1:1\n";
  for (const Row& row : rows) {
    for (const char* mode : {"", "-p", "-a"}) {
      ScratchDir dir;
      writeFile(dir.file("s.txt"), schedule);
      row.prepare(dir);
      std::vector<std::string> args = {"-s" + row.source, "-o" + row.log};
      if (*mode != '\0') {
        args.push_back(mode);
      }
      const Outcome outcome = runIn(dir, args);
      const std::string where = std::string(row.name) + " " + mode;
      EXPECT_EQ(outcome.console,
                dir.expand(reading(row.source, row.log) + "The results file " + row.log +
                           " is the schedule file " + row.source +
                           " itself: writing to it would destroy the schedule. Quitting.\n"))
          << where;
      EXPECT_EQ(outcome.status, -1) << where;
      EXPECT_EQ(readFile(dir.file("s.txt")), schedule) << where;
      EXPECT_FALSE(fs::exists(dir.file("new.txt"))) << where;
    }
  }
}

TEST(CommandLine, NoArgumentsRunWithDefaults) {
  ScratchDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  writeFile("schedule.txt", "");
  std::ostringstream console;
  Session session(console, [] {});
  const int status = session.run({});
  std::filesystem::current_path(previous);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(console.str(), usage("schedule.txt") +
                               "\nYou entered no special parameters. Continuing with default "
                               "settings..." +
                               reading("schedule.txt", "out.txt") + fullProgress());
  EXPECT_EQ(session.options().totalMinutes, 10080u);
  EXPECT_TRUE(std::filesystem::exists(dir.file("out.txt")));
}

TEST(CommandLine, SpanFromPlusOptions) {
  struct Row {
    std::vector<std::string> args;
    uint32_t minutes;
  };
  const Row rows[] = {
      {{}, 10080},
      {{"+d1"}, 1440},
      {{"+d1", "+h1"}, 1500},
      {{"+w0"}, 0},
      {{"+m916"}, 40890240},
      {{"+y1"}, 525600},
      {{"+w2", "+i7"}, 20167},
      {{"+d 5"}, 7200},
      {{"+dx"}, 0},
      {{"+h2x"}, 120},
      {{"+y4085", "+i407647"}, 2147483647},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    std::vector<std::string> args{"-s{dir}/s.txt", "-o{dir}/o.txt", "-a"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const testing::Args arguments(dir, args);
    std::ostringstream console;
    Session session(console, [] {});
    EXPECT_EQ(session.run(arguments.view()), 0);
    EXPECT_EQ(session.options().totalMinutes, row.minutes) << row.args.size();
  }
}

TEST(CommandLine, OptionFlags) {
  struct Row {
    const char* arg;
    bool SessionOptions::*flag;
  };
  const Row rows[] = {{"-p", &SessionOptions::appendLog},
                      {"-a", &SessionOptions::analyzeOnly},
                      {"-l", &SessionOptions::loadsOnly},
                      {"-e", &SessionOptions::stopOnErrors},
                      {"-nice", &SessionOptions::niceMode}};
  for (const Row& row : rows) {
    SessionOptions options;
    SimClock clock;
    std::ostringstream console;
    const char* args[] = {row.arg};
    EXPECT_EQ(ReadCommandLine(args, options, clock, console), std::nullopt);
    EXPECT_TRUE(options.*row.flag) << row.arg;
    EXPECT_EQ(console.str(), "");
  }
}

}  // namespace
}  // namespace quillmar::planprobe
