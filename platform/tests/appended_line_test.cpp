// Appended lines: the file made on the first one, each line whole and in order, none lost or
// mixed when threads and processes append at once, and a plain error text where the file
// cannot be.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/appended_line.h"
#include "platform/tests/scratch_folder.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

using AppendLineTest = ScratchFolder;

constexpr int kLines = 2000;  // per appender

// The `index`th line of the appender `who`: long, so that a split write would show.
std::string lineOf(const std::string& who, int index) {
  return who + "-" + std::to_string(index) + "-" + std::string(300, who.back());
}

// Appends kLines lines as `who`; the number that failed.
int appendAll(const std::string& file, const std::string& who) {
  int failures = 0;
  for (int i = 0; i < kLines; ++i) {
    failures += appendLine(file, lineOf(who, i)).has_value() ? 1 : 0;
  }
  return failures;
}

// Checks that `content` holds each appender's lines once each, whole and in its own order.
void expectAllLines(const std::string& content, const std::vector<std::string>& appenders) {
  ASSERT_TRUE(content.ends_with('\n'));
  std::map<std::string, int> next;  // per appender, the index of the line expected next
  std::istringstream lines(content);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const std::string who = line.substr(0, line.find('-'));
    ASSERT_EQ(line, lineOf(who, next[who]++)) << "line " << count;
  }
  EXPECT_EQ(count, kLines * static_cast<int>(appenders.size()));
  for (const auto& who : appenders) {
    EXPECT_EQ(next[who], kLines) << who;
  }
}

TEST_F(AppendLineTest, MakesTheFileAndAppendsWholeLines) {
  for (const char* line : {"{\"a\":1}", "", "second"}) {
    EXPECT_EQ(appendLine(path("history.jsonl"), line), std::nullopt);
  }
  EXPECT_EQ(get("history.jsonl"), "{\"a\":1}\n\nsecond\n");
}

TEST_F(AppendLineTest, TwoThreadsAtOnce) {
  const std::string file = path("history.jsonl");
  int failures[2] = {};
  std::thread first([&] { failures[0] = appendAll(file, "A"); });
  std::thread second([&] { failures[1] = appendAll(file, "B"); });
  first.join();
  second.join();
  EXPECT_EQ(failures[0] + failures[1], 0);
  expectAllLines(get("history.jsonl"), {"A", "B"});
}

TEST_F(AppendLineTest, CannotOpenGivesTheReason) {
  fs::create_directory(path("folder"));
  std::vector<std::string> targets = {path("missing/history.jsonl"), path("folder")};
#ifndef _WIN32
  // A read-only folder holds back every user but root, who may write anywhere.
  if (geteuid() != 0) {
    fs::create_directory(path("locked"));
    fs::permissions(path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    targets.push_back(path("locked/history.jsonl"));
  }
#endif
  for (const auto& target : targets) {
    SCOPED_TRACE(target);
    const std::optional<std::string> failure = appendLine(target, "{}");
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->starts_with("cannot open: ")) << *failure;
    EXPECT_GT(failure->size(), std::string("cannot open: ").size());
  }
  for (const auto& name : listing()) {
    EXPECT_FALSE(name.ends_with("history.jsonl")) << name;
  }
}

#ifndef _WIN32
TEST_F(AppendLineTest, TwoProcessesAtOnce) {
  const std::string file = path("history.jsonl");
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      _exit(appendAll(file, i == 0 ? "A" : "B") == 0 ? 0 : 1);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  expectAllLines(get("history.jsonl"), {"A", "B"});
}

// Another holder of the file's lock, such as a second process's append, holds a line back
// until it lets go.
TEST_F(AppendLineTest, WaitsForTheLock) {
  put("history.jsonl", "");
  const int holder = ::open(path("history.jsonl").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  std::optional<std::string> failure = "not run";
  std::thread appender([&] { failure = appendLine(path("history.jsonl"), "later"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(get("history.jsonl"), "");
  ::close(holder);
  appender.join();
  EXPECT_EQ(failure, std::nullopt);
  EXPECT_EQ(get("history.jsonl"), "later\n");
}
#endif

}  // namespace
}  // namespace quillmar::platform
