// The line model's arithmetic: when bytes from the host arrive and when replies are seen.
#include <gtest/gtest.h>

#include <chrono>

#include "bootsim/line_model.h"

namespace quillmar::bootsim {
namespace {

using std::chrono::microseconds;
using Clock = LineModel::Clock;

// A command of `commandBytes` bytes seen at once at time 0, then its reply: when the host sees
// the reply, in microseconds.
struct Case {
  const char* name;
  LineTiming timing;
  int commandBytes;
  int replyBytes;
  long long seenUs;
};

TEST(LineModelTest, ReplyIsSeenAfterCommandAndReplyHaveCrossedTheLine) {
  const Case cases[] = {
      {"no model: at once", {0, 0}, 2, 1, 0},
      {"10000 bit/s: 1 ms per byte, 3 bytes", {10000, 0}, 2, 1, 3000},
      {"38400 bit/s, identifier: 1 + 7 bytes", {38400, 0}, 1, 7, 2083},
      {"latency alone", {0, 16}, 2, 1, 16000},
      {"block load of a page and its acknowledgement, 16 ms", {38400, 16}, 260, 1, 83968},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LineModel model(c.timing);
    const Clock::time_point start{};
    Clock::time_point arrived = start;
    for (int i = 0; i < c.commandBytes; ++i)
      arrived = model.byteArrives(start);
    const auto seen = model.replySeen(arrived, static_cast<size_t>(c.replyBytes)) - start;
    EXPECT_EQ(std::chrono::duration_cast<microseconds>(seen).count(), c.seenUs);
  }
}

TEST(LineModelTest, BytesQueueBehindEachOtherAndRepliesNeverOverlap) {
  LineModel model({10000, 0});  // 1 ms per byte
  const Clock::time_point start{};
  const auto at = [&](Clock::time_point t) {
    return std::chrono::duration_cast<microseconds>(t - start).count();
  };
  // Two bytes seen together arrive one after the other; one seen later than the line is
  // free starts when it is seen.
  EXPECT_EQ(at(model.byteArrives(start)), 1000);
  EXPECT_EQ(at(model.byteArrives(start)), 2000);
  EXPECT_EQ(at(model.byteArrives(start + microseconds(5000))), 6000);
  // A reply waits for the one before it to leave.
  EXPECT_EQ(at(model.replySeen(start + microseconds(2000), 3)), 5000);
  EXPECT_EQ(at(model.replySeen(start + microseconds(3000), 2)), 7000);
}

}  // namespace
}  // namespace quillmar::bootsim
