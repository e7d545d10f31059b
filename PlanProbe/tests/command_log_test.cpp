// The command line of each event kind is pinned end to end by the simulation transcript; here,
// what a schedule file cannot bring about.
#include "session/command_log.h"

#include <gtest/gtest.h>

#include "tests/simulation_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::makeEvent;
using testing::setValueParam;

// The line is made once and kept; only the double-occupancy mark and a changed start time
// are followed.
TEST(ExecuteEvent, TheLineFollowsTheMarkAndAChangedStartTime) {
  ScheduleEvent on = makeEvent(ON, 1, 1, 0, 2, 0);
  setValueParam(on, 0, 7);
  std::string out;
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    ExecuteEvent(log, &on, false);
    ExecuteEvent(log, &on, true);
    on.startHour = 3;
    ExecuteEvent(log, &on, false);
    on.startMinute = 1;
    ExecuteEvent(log, &on, true);
  }
  EXPECT_EQ(out,
            " (02:00 starttime) ElvaneOn: 7D(02:00 starttime) ElvaneOn: 7 (03:00 starttime) "
            "ElvaneOn: 7D(03:01 starttime) ElvaneOn: 7");
}

TEST(ExecuteEvent, KindsWithoutACommandWriteNothing) {
  for (uint8_t kind : {uint8_t{STOP}, uint8_t{RESET}, uint8_t{PAUSE}, uint8_t{0}, uint8_t{60}}) {
    const ScheduleEvent event = makeEvent(kind, 1, 1, 0, 1, 2);
    std::string out;
    {
      ResultsLog log(std::make_unique<StringSink>(out));
      EXPECT_EQ(ExecuteEvent(log, &event, true), NO_MATCH) << int{kind};
      EXPECT_FALSE(log.errorSeen()) << int{kind};
    }
    EXPECT_EQ(out, "") << int{kind};
  }
  std::string out;
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    EXPECT_EQ(ExecuteEvent(log, nullptr, true), BAD_EVENT_POINTER);
  }
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace quillmar::planprobe
