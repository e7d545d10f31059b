#include "session/clock_step.h"

#include <gtest/gtest.h>

namespace quillmar::planprobe {
namespace {

struct ClockValue {
  int month, day, year, hour, minute;
  bool operator==(const ClockValue&) const = default;
};

SimClock clockAt(const ClockValue& v) {
  SimClock clock;
  clock.setDate(static_cast<int8_t>(v.month), static_cast<int8_t>(v.day),
                static_cast<int8_t>(v.year));
  clock.setTime(static_cast<int8_t>(v.hour), static_cast<int8_t>(v.minute));
  clock.updateDateKey();
  return clock;
}

TEST(AdvanceClock, RollOverTable) {
  struct Row {
    const char* name;
    ClockValue from;
    bool hourStep;
    ClockValue to;
  };
  const Row rows[] = {
      {"a minute", {1, 1, 0, 0, 0}, false, {1, 1, 0, 0, 1}},
      {"end of hour", {1, 1, 0, 10, 59}, false, {1, 1, 0, 11, 0}},
      {"end of day", {1, 1, 0, 23, 59}, false, {1, 2, 0, 0, 0}},
      {"leap day follows 28 February 2000", {2, 28, 0, 23, 59}, false, {2, 29, 0, 0, 0}},
      {"29 February 2000 ends February", {2, 29, 0, 23, 59}, false, {3, 1, 0, 0, 0}},
      {"28 February 2001 ends February", {2, 28, 1, 23, 59}, false, {3, 1, 1, 0, 0}},
      {"30 April ends April", {4, 30, 2, 23, 59}, false, {5, 1, 2, 0, 0}},
      {"30 May does not end May", {5, 30, 2, 23, 59}, false, {5, 31, 2, 0, 0}},
      {"end of year", {12, 31, 5, 23, 59}, false, {1, 1, 6, 0, 0}},
      {"year 99 wraps to 00", {12, 31, 99, 23, 59}, false, {1, 1, 0, 0, 0}},
      {"unchecked time 99:99", {1, 1, 0, 99, 99}, false, {1, 2, 0, 0, 0}},
      {"unchecked minute within the day", {1, 1, 0, 5, 75}, false, {1, 1, 0, 6, 0}},
      {"unchecked hour keeps counting minutes", {1, 1, 0, 30, 10}, false, {1, 1, 0, 30, 11}},
      {"month 13 becomes January at midnight", {13, 5, 3, 23, 59}, false, {1, 1, 4, 0, 0}},
      {"month 0 lasts 31 days", {0, 30, 3, 23, 59}, false, {0, 31, 3, 0, 0}},
      {"month 0 ends after day 31", {0, 31, 3, 23, 59}, false, {1, 1, 3, 0, 0}},
      {"hour step from half past", {1, 1, 0, 12, 30}, true, {1, 1, 0, 13, 0}},
      {"hour step from the full hour", {1, 1, 0, 13, 0}, true, {1, 1, 0, 14, 0}},
      {"hour step over midnight", {12, 31, 9, 23, 0}, true, {1, 1, 10, 0, 0}},
      {"hour step from 99:99", {1, 1, 0, 99, 99}, true, {1, 2, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SimClock clock = clockAt(row.from);
    AdvanceClock(clock, row.hourStep);
    const ClockValue got{clock.ClockMonth(), clock.ClockDay(), clock.ClockYear(), clock.ClockHour(),
                         clock.ClockMinute()};
    EXPECT_EQ(got, row.to) << row.name;
    EXPECT_EQ(clock.ClockDateKey(), dateKey(row.to.year, row.to.month, row.to.day)) << row.name;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
