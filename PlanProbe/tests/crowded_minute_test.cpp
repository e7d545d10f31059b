// A minute with more due events than the candidate list holds in place, when memory for the
// rest runs out: the minute reports it once and settles among the candidates it holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "session/minute_run.h"
#include "tests/simulation_test_support.h"

namespace {

// Set by the test: the next allocation fails, once. A process-wide switch, since operator new
// is process-wide; this test program holds nothing else.
bool failNextAllocation = false;

}  // namespace

void* operator new(std::size_t size) {
  if (failNextAllocation) {
    failNextAllocation = false;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

namespace quillmar::planprobe {
namespace {

TEST(CrowdedMinute, MemoryRunningOutLeavesTheCandidatesHeld) {
  // Twenty events due every minute; the last starts latest, so it wins when all are held.
  EventList events;
  for (int i = 1; i <= 20; ++i) {
    ScheduleEvent e = testing::makeEvent(ON, 1, 1, 5, 0, i == 20 ? 5 : 0);
    e.period = PERIOD_MINUTE;
    e.repeat = 1;
    classifyEvent(e);
    testing::setValueParam(e, 0, static_cast<uint8_t>(i));
    events.push(std::move(e));
  }
  struct Row {
    bool memoryRunsOut;
    const char* written;
  };
  const Row rows[] = {
      {false, "D(00:05 starttime) ElvaneOn: 20"},
      {true, "Error: MALLOC_FAILURE\t\t\r\nD(00:00 starttime) ElvaneOn: 1"},
  };
  for (const Row& row : rows) {
    SimClock clock;
    clock.setDate(1, 1, 5);
    clock.setTime(0, 10);
    clock.updateDateKey();
    BootState boot;
    boot.booting = false;
    std::string out;
    ResultsLog log(std::make_unique<StringSink>(out));
    log.write("\n");  // the log's buffer is there before the minute runs
    MinuteContext minute(clock, boot, log);
    failNextAllocation = row.memoryRunsOut;
    const ResultCode result = ExecuteMinute(minute, events);
    failNextAllocation = false;
    log.flush();
    EXPECT_EQ(result, kExecuted) << row.written;
    EXPECT_NE(out.find(row.written), std::string::npos) << out;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
