// End-to-end runs of the built planprobe program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::logHeader;
using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;

struct ProgramRun {
  std::string console;
  int status;
};

// Runs the program in `dir` with the shell arguments `args` and standard input from /dev/null.
ProgramRun runProgram(const ScratchDir& dir, const std::string& args) {
  const std::string command =
      "cd '" + dir.path().string() + "' && '" PLANPROBE_BINARY "' " + args + " </dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    out.append(buffer, got);
  }
  const int status = pclose(pipe);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(PlanprobeProgram, ExitStatusConsoleAndLog) {
  struct Row {
    const char* args;
    int status;
    const char* consoleEnd;
    const char* logEnd;  // null when no log is to exist
  };
  const Row rows[] = {
      {"-a", 0, "Analyze option used.  Stopping now.\n",
       "\r\n\r\nAnalyze option used. No simulation will be performed.\r\n\r\nDone.\r\n"},
      {"-snone.txt", 255, "Couldn't open none.txt!!!! Press any key to continue.\n",
       "\r\nCouldn't open none.txt. Stopping now.\r\n"},
      {"-d01", 255, "The format is mmddyy. Exiting\n", nullptr},
      {"+x5", 0, "and write the results to results.txt.\n", nullptr},
      {"-d023001", 255, "Invalid start date.\n Exiting.", nullptr},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("schedule.txt"), "");
    const ProgramRun run = runProgram(dir, row.args);
    EXPECT_EQ(run.status, row.status) << row.args;
    EXPECT_TRUE(run.console.ends_with(row.consoleEnd)) << row.args << ": " << run.console;
    const std::string log = readFile(dir.file("out.txt"));
    if (row.logEnd == nullptr) {
      EXPECT_FALSE(std::filesystem::exists(dir.file("out.txt"))) << row.args;
    } else {
      EXPECT_EQ(log, logHeader() + row.logEnd) << row.args;
    }
  }
}

}  // namespace
}  // namespace quillmar::planprobe
