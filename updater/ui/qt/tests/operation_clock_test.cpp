// The time line's estimate across an operation's stretches: while one stretch runs, the time
// left includes the stretches still to come, reckoned from the running one's pace by their
// estimated lengths on the wire.
#include "ui/common/operation_clock.h"

#include <gtest/gtest.h>

namespace quillmar::ui {
namespace {

using namespace std::chrono_literals;

struct ClockCase {
  const char* name;
  boot::Operation operation;
  bool block;
  bool legacy;
  bool keepCopy;
  int stretch;  // which stretch runs: those before it passed in no time
  const char* line;
};

class OperationClockTest : public ::testing::TestWithParam<ClockCase> {};

// Halfway through the running stretch after 10 s: 10 s of it left, plus what follows.
TEST_P(OperationClockTest, TimeLeftIncludesTheStretchesToCome) {
  const ClockCase& param = GetParam();
  boot::UpdateSafety safety;
  safety.legacy = param.legacy;
  safety.keepCopy = param.keepCopy;
  OperationClock clock;
  const OperationClock::Clock::time_point start{};
  clock.start(param.operation, param.block, safety, start);
  for (int i = 0; i < param.stretch; ++i) {
    clock.setRange(4, start);
    clock.setPosition(4);
  }
  clock.setRange(510, start);
  clock.setPosition(255);
  EXPECT_EQ(clock.line(start + 10s), param.line);
  clock.finish(start + 12s);
  EXPECT_EQ(clock.line(start + 20s), "Took 0:12");
}

INSTANTIATE_TEST_SUITE_P(
    Stretches, OperationClockTest,
    ::testing::Values(
        // The copy's read of the whole region (in blocks, as the boot loader offers them), then the
        // write and the read-back, byte by byte unless fast transfers are chosen.
        ClockCase{"CopyRead", boot::Operation::Update, false, false, true, 0,
                  "Time 0:10, about 1:39 left"},
        ClockCase{"CopyWrite", boot::Operation::Update, false, false, true, 1,
                  "Time 0:10, about 0:20 left"},
        ClockCase{"CopyReadBack", boot::Operation::Update, false, false, true, 2,
                  "Time 0:10, about 0:10 left"},
        ClockCase{"CopyReadBlocks", boot::Operation::Update, true, false, true, 0,
                  "Time 0:10, about 0:50 left"},
        ClockCase{"RestoreCopyRead", boot::Operation::Restore, false, false, true, 0,
                  "Time 0:10, about 1:39 left"},
        // Without a copy only the versions' stretch is read first: short, so much follows.
        ClockCase{"VersionsRead", boot::Operation::Update, false, false, false, 0,
                  "Time 0:10, about 23:53 left"},
        ClockCase{"NoCopyWrite", boot::Operation::Update, false, false, false, 1,
                  "Time 0:10, about 0:20 left"},
        // Legacy: the write and the read-back, as always.
        ClockCase{"LegacyWrite", boot::Operation::Update, false, true, true, 0,
                  "Time 0:10, about 0:20 left"},
        ClockCase{"LegacyReadBack", boot::Operation::Update, false, true, true, 1,
                  "Time 0:10, about 0:10 left"},
        // Read is one stretch; a range beyond the last stretch adds nothing.
        ClockCase{"Read", boot::Operation::Read, false, false, true, 0,
                  "Time 0:10, about 0:10 left"},
        ClockCase{"ExtraRange", boot::Operation::Update, false, false, true, 3,
                  "Time 0:10, about 0:10 left"}),
    [](const ::testing::TestParamInfo<ClockCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmar::ui
