#include "schedule/event_list.h"

#include <gtest/gtest.h>

namespace quillmar::planprobe {
namespace {

ScheduleEvent makeEvent(int8_t period, int8_t repeat, int8_t set, uint8_t endDay, uint8_t endMonth,
                        uint8_t endYear, bool overflow = false) {
  ScheduleEvent event;
  event.period = period;
  event.repeat = repeat;
  event.set = set;
  event.endDay = endDay;
  event.endMonth = endMonth;
  event.endYear = endYear;
  event.repeatOverflow = overflow;
  return event;
}

TEST(ClassifyEvent, ClassAndVerdictByRepeatFields) {
  struct Row {
    const char* name;
    ScheduleEvent event;
    ResultCode result;
    uint8_t flags;
  };
  const Row rows[] = {
      {"no period", makeEvent(0, 0, 0, 0, 0, 0), SUCCESS, ONE_SHOT},
      {"no period, count, set and end", makeEvent(0, 5, 36, 1, 37, 2), SUCCESS, ONE_SHOT},
      {"no period, count overflow", makeEvent(0, -56, 0, 0, 0, 0, true), SUCCESS, ONE_SHOT},
      {"day without count", makeEvent(PERIOD_DAY, 0, 0, 0, 0, 0), REJECTED_EVENT, 0},
      {"day, count 1", makeEvent(PERIOD_DAY, 1, 0, 0, 0, 0), SUCCESS, 0},
      {"day, count 127", makeEvent(PERIOD_DAY, 127, 0, 0, 0, 0), SUCCESS, 0},
      {"day, count too large", makeEvent(PERIOD_DAY, -56, 0, 0, 0, 0, true), REJECTED_EVENT, 0},
      {"count 256 wraps to 0", makeEvent(PERIOD_DAY, 0, 0, 0, 0, 0, true), REJECTED_EVENT, 0},
      {"day, set June", makeEvent(PERIOD_DAY, 1, 36, 0, 0, 0), SUCCESS, 3},
      {"day, set June, end date", makeEvent(PERIOD_DAY, 1, 36, 30, 38, 2), SUCCESS, 7},
      {"end day only", makeEvent(PERIOD_HOUR, 2, 0, 5, 0, 0), SUCCESS, HAS_END},
      {"end month only", makeEvent(PERIOD_HOUR, 2, 0, 0, 31, 0), SUCCESS, HAS_END},
      {"end year only", makeEvent(PERIOD_HOUR, 2, 0, 0, 0, 3), SUCCESS, HAS_END},
      {"set with negative count", makeEvent(PERIOD_DAY, -3, 30, 0, 0, 0), REJECTED_EVENT, HAS_SET},
  };
  for (const Row& row : rows) {
    ScheduleEvent event = row.event;
    EXPECT_EQ(classifyEvent(event), row.result) << row.name;
    EXPECT_EQ(event.flags, row.flags) << row.name;
  }
}

TEST(EventList, AppendKeepsOrderAndClearsTheRecord) {
  std::string out;
  ResultsLog log(std::make_unique<StringSink>(out));
  EventList list;
  ScheduleEvent event;
  for (uint8_t day = 1; day <= 3; ++day) {
    event.startDay = day;
    event.params[0] = {7, 0};
    EXPECT_EQ(appendEvent(list, event, true, log), SUCCESS);
    EXPECT_EQ(event.startDay, 0);
    EXPECT_TRUE(event.params[0].empty());
  }
  ASSERT_EQ(list.size(), 3u);
  uint8_t expected = 1;
  for (const ScheduleEvent& e : list) {
    EXPECT_EQ(e.startDay, expected++);
    EXPECT_EQ(e.params[0], (ParamBuffer{7, 0}));
  }
  EXPECT_EQ(freeEventList(list), SUCCESS);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(freeEventList(list), SUCCESS);
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace quillmar::planprobe
