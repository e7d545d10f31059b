// End-to-end runs of the built planprobe program.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::ScratchDir;
using testing::writeFile;

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
