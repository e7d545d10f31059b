#include "session/day_agenda.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillmar::planprobe {
namespace {

constexpr int32_t kNoMinute = kMinutesPerDay;

// The indices of the entries taken off `minute`, in order.
std::vector<uint32_t> takeAll(DayAgenda& agenda, int32_t minute) {
  std::vector<uint32_t> indices;
  for (int32_t at = agenda.take(minute); at != DayAgenda::kNone; at = agenda.entry(at).next) {
    indices.push_back(agenda.entry(at).index);
  }
  return indices;
}

// Minutes at both ends of the day and at both sides of each 64-minute boundary.
TEST(DayAgenda, NextMinuteFindsEachMarkedMinute) {
  struct Row {
    std::vector<int32_t> marked;
    int32_t from;
    int32_t next;
  };
  const Row rows[] = {
      {{}, 0, kNoMinute}, {{0}, 0, 0},          {{0}, 1, kNoMinute},   {{63}, 0, 63},
      {{64}, 0, 64},      {{64}, 64, 64},       {{64}, 65, kNoMinute}, {{127, 128}, 100, 127},
      {{1439}, 0, 1439},  {{1439}, 1439, 1439}, {{5, 1400}, 6, 1400},  {{5}, kNoMinute, kNoMinute},
  };
  for (const Row& row : rows) {
    DayAgenda agenda;
    agenda.reset();
    uint32_t index = 0;
    for (const int32_t minute : row.marked) {
      agenda.addFirst(minute, index++);
    }
    EXPECT_EQ(agenda.nextMinute(row.from), row.next) << "from " << row.from;
  }
}

// A day planned from the last event to the first gives each minute its events in list order.
TEST(DayAgenda, TakeGivesTheMinutesEntriesFirstAddedLast) {
  DayAgenda agenda;
  agenda.reset();
  for (const uint32_t index : {5u, 4u, 2u, 1u, 0u}) {
    agenda.addFirst(index == 2 ? 601 : 600, index);
  }
  EXPECT_EQ(takeAll(agenda, 600), (std::vector<uint32_t>{0, 1, 4, 5}));
  EXPECT_EQ(agenda.nextMinute(600), 601);
  EXPECT_EQ(takeAll(agenda, 601), std::vector<uint32_t>{2});
  EXPECT_EQ(agenda.nextMinute(0), kNoMinute);
}

// A new day starts empty, though the last one ended with minutes still marked.
TEST(DayAgenda, ResetForgetsWhatWasLeft) {
  DayAgenda agenda;
  agenda.reset();
  agenda.addFirst(10, 2);
  agenda.addFirst(10, 0);
  agenda.addFirst(1000, 1);
  agenda.reset();
  EXPECT_EQ(agenda.nextMinute(0), kNoMinute);
  agenda.addFirst(10, 1);
  EXPECT_EQ(takeAll(agenda, 10), std::vector<uint32_t>{1});
}

}  // namespace
}  // namespace quillmar::planprobe
