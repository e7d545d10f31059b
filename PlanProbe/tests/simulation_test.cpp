// What the transcripts of the program cannot reach: a schedule that goes missing while the
// simulation runs, in both loops.
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

}  // namespace
}  // namespace quillmar::planprobe
