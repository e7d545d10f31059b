// Whole analysis logs of the bundled example schedules, compared byte for byte with the
// checked-in logs under golden/.
#include <gtest/gtest.h>

#include <sstream>

#include "session/session.h"
#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::Args;
using testing::readFile;
using testing::ScratchDir;

TEST(GoldenLog, AnalysisOfTheExamples) {
  struct Row {
    const char* schedule;
    const char* golden;
  };
  const Row rows[] = {
      {"examples/planprobe-schedule.txt", "PlanProbe/tests/golden/schedule-analysis.log"},
      {"examples/planprobe-mistakes.txt", "PlanProbe/tests/golden/mistakes-analysis.log"},
  };
  const std::string root = QUILLMAR_SOURCE_DIR "/";
  for (const Row& row : rows) {
    ScratchDir dir;
    const Args args(dir,
                    {"-s" + root + row.schedule, "-o{dir}/out.txt", "-a", "-d072402", "-t2132"});
    std::ostringstream console;
    Session session(console, [] {});
    ASSERT_EQ(session.run(args.view()), 0) << row.schedule;
    const std::string expected = readFile(root + row.golden);
    ASSERT_FALSE(expected.empty()) << row.golden;
    EXPECT_EQ(readFile(dir.file("out.txt")), expected) << row.schedule;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
