#include "session/day_agenda.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillmar::planprobe {
namespace {

constexpr int32_t kNone = DayAgenda::kMinutesPerDay;

// Minutes at both ends of the day and at both sides of each 64-minute boundary.
TEST(DayAgenda, NextMinuteFindsEachMarkedMinute) {
  struct Row {
    std::vector<int32_t> marked;
    int32_t from;
    int32_t next;
  };
  const Row rows[] = {
      {{}, 0, kNone},    {{0}, 0, 0},          {{0}, 1, kNone},      {{63}, 0, 63},
      {{64}, 0, 64},     {{64}, 64, 64},       {{64}, 65, kNone},    {{127, 128}, 100, 127},
      {{1439}, 0, 1439}, {{1439}, 1439, 1439}, {{5, 1400}, 6, 1400}, {{5}, kNone, kNone},
  };
  for (const Row& row : rows) {
    DayAgenda agenda;
    agenda.reset(row.marked.size());
    uint32_t index = 0;
    for (const int32_t minute : row.marked) {
      agenda.add(minute, index++);
    }
    EXPECT_EQ(agenda.nextMinute(row.from), row.next) << "from " << row.from;
  }
}

// Events come out of a minute in list order, whatever order they went in.
TEST(DayAgenda, TakeGivesTheMinutesEventsInListOrder) {
  DayAgenda agenda;
  agenda.reset(6);
  for (const uint32_t index : {4u, 1u, 5u, 0u}) {
    agenda.add(600, index);
  }
  agenda.add(601, 2);
  std::vector<uint32_t> taken;
  agenda.take(600, taken);
  EXPECT_EQ(taken, (std::vector<uint32_t>{0, 1, 4, 5}));
  EXPECT_EQ(agenda.nextMinute(600), 601);
  agenda.take(601, taken);
  EXPECT_EQ(taken, std::vector<uint32_t>{2});
  EXPECT_EQ(agenda.nextMinute(0), kNone);
}

// A new day starts empty, though the last one ended with minutes still marked.
TEST(DayAgenda, ResetForgetsWhatWasLeft) {
  DayAgenda agenda;
  agenda.reset(3);
  agenda.add(10, 0);
  agenda.add(10, 2);
  agenda.add(1000, 1);
  agenda.reset(2);
  EXPECT_EQ(agenda.nextMinute(0), kNone);
  agenda.add(10, 1);
  std::vector<uint32_t> taken;
  agenda.take(10, taken);
  EXPECT_EQ(taken, std::vector<uint32_t>{1});
}

}  // namespace
}  // namespace quillmar::planprobe
