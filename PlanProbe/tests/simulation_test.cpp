// What the transcripts of the program cannot reach: a schedule that goes missing while the
// simulation runs, and the fast loop's console against the plain loop's.
#include "session/simulation.h"

#include <gtest/gtest.h>

#include "tests/simulation_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::crlf;
using testing::makeEvent;
using testing::setValueParam;
using testing::SimRun;

TEST(Simulation, ScheduleGoneAtTheSecondReload) {
  ScheduleEvent everyTwo = makeEvent(STARTSEQUENCE, 1, 1, 0, 2, 0);
  everyTwo.period = PERIOD_MINUTE;
  everyTwo.repeat = 2;
  setValueParam(everyTwo, 0, 10);
  for (bool fast : {false, true}) {
    SimRun run({everyTwo}, 12, 31, 99, 23, 59, 5);
    run.missingAtReload = 2;
    EXPECT_EQ(run.run(fast),
              crlf("\n\nThursday 12.31.99\n--------------------------------\nLoading Events:"
                   "\nEvent Added: D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 "
                   "\n\nExecuting Events:\n\nSaturday 01.01.00\n--------------------------------"
                   "\nLoading Events:Couldn't open schedule.txt.\n"))
        << (fast ? "fast" : "plain");
  }
}

// The fast loop skips minutes; the progress it shows must still be the plain loop's, figure for
// figure, with and without the minutes executed.
TEST(Simulation, ProgressOfTheFastLoopIsThePlainLoops) {
  for (uint32_t span : {4u, 100u, 130u}) {
    for (bool loadsOnly : {false, true}) {
      std::string shown[2];
      for (bool fast : {false, true}) {
        SimRun run({}, 1, 1, 0, 0, 0, span);
        run.options.loadsOnly = loadsOnly;
        run.run(fast);
        shown[fast] = run.console();
      }
      EXPECT_EQ(shown[1], shown[0]) << span << (loadsOnly ? " loads only" : "");
      EXPECT_TRUE(shown[0].ends_with("\r100% complete ")) << span;
    }
  }
}

}  // namespace
}  // namespace quillmar::planprobe
