// End-to-end runs of the built planprobe program.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "tests/session_test_support.h"

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
    const char* logEnd;
  };
  const Row rows[] = {
      {"-a", 0, "Analyze option used.  Stopping now.\n",
       "\r\n\r\nAnalyze option used. No simulation will be performed.\r\n\r\nDone.\r\n"},
      {"-snone.txt", 255,
       "Couldn't open none.txt!!!! Press any key to continue.\nReason: No such file or directory\n",
       "\r\nCouldn't open none.txt. Stopping now.\r\n"},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("schedule.txt"), "");
    const ProgramRun run = runProgram(dir, row.args);
    EXPECT_EQ(run.status, row.status) << row.args;
    EXPECT_TRUE(run.console.ends_with(row.consoleEnd)) << row.args << ": " << run.console;
    EXPECT_EQ(readFile(dir.file("out.txt")), logHeader() + row.logEnd) << row.args;
  }
}

// What the program wrote to a terminal, in the pieces in which it arrived.
std::vector<std::string> runOnTerminal(const ScratchDir& dir,
                                       const std::vector<std::string>& args) {
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) {
    std::vector<const char*> argv = {PLANPROBE_BINARY};
    for (const std::string& arg : args) {
      argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);
    if (chdir(dir.path().c_str()) == 0) {
      execv(PLANPROBE_BINARY, const_cast<char* const*>(argv.data()));
    }
    _exit(127);
  }
  EXPECT_GT(child, 0);
  std::vector<std::string> pieces;
  char buffer[4096];
  for (ssize_t got; (got = read(master, buffer, sizeof buffer)) > 0;) {
    pieces.emplace_back(buffer, static_cast<size_t>(got));
  }
  close(master);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return pieces;
}

// On a terminal the progress figures arrive while the run goes, not in a lump at its end, and
// the shell prompt after the run starts on a line of its own.
TEST(PlanprobeProgram, ProgressReachesTheTerminalWhileTheRunGoes) {
  ScratchDir dir;
  writeFile(dir.file("schedule.txt"), "D:01.01.00 T:12:30 P:DAY R:1 E:ON 1:1\n");
  const std::vector<std::string> pieces = runOnTerminal(dir, {"+y99"});
  size_t withProgress = 0;
  std::string all;
  for (const std::string& piece : pieces) {
    withProgress += piece.find("% complete") != std::string::npos ? 1 : 0;
    all += piece;
  }
  // Written in one lump, the 101 figures would fill two or three pieces at most.
  EXPECT_GE(withProgress, 10u) << all;
  EXPECT_TRUE(all.ends_with("\r100% complete \r\n")) << all;
}

}  // namespace
}  // namespace quillmar::planprobe
