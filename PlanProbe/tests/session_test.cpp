// What a session does that its console text does not show: when it waits for a key. The console,
// exit status and files of the program are pinned by the transcripts.
#include "session/session.h"
#include "session/clock_host.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::ScratchDir;
using testing::writeFile;

TEST(CommandLine, WaitsForAKeyOnlyWhereItSaysSo) {
  struct Row {
    std::vector<std::string> args;
    int keyWaits;
  };
  const Row rows[] = {
      {{"-s{dir}/s.txt", "-o{dir}/o.txt", "-a"}, 0}, {{"-s{dir}/s.txt", "-o{dir}/o.txt", "+i5"}, 0},
      {{"-s{dir}/s.txt", "-o{dir}/none/o.txt"}, 0},  {{"-s{dir}/s.txt", "-o{dir}/o.txt", "+x5"}, 0},
      {{"-s{dir}/none.txt", "-o{dir}/o.txt"}, 1},    {{"-s{dir}", "-o{dir}/o.txt"}, 1},
  };
  for (const Row& row : rows) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), "");
    const testing::Args arguments(dir, row.args);
    std::ostringstream console;
    int keyWaits = 0;
    Session session(console, [&keyWaits] { ++keyWaits; });
    session.run(arguments.view());
    EXPECT_EQ(keyWaits, row.keyWaits) << row.args[0] << " " << row.args[1];
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
