#include "session/minute_run.h"

#include <iterator>
#include <new>
#include <vector>

#include "session/command_log.h"

namespace quillmar::planprobe {

namespace {

// The due events of one minute, in list order. A minute rarely has more than a few, so they
// are kept in place and the heap is asked only beyond that.
class CandidateList {
 public:
  // False when no memory could be had for one more candidate.
  bool push(ScheduleEvent* event) {
    if (count_ < kInPlace) {
      inPlace_[count_++] = event;
      return true;
    }
    try {
      more_.push_back(event);
    } catch (const std::bad_alloc&) {
      return false;
    }
    ++count_;
    return true;
  }
  size_t size() const { return count_; }
  ScheduleEvent* operator[](size_t i) const {
    return i < kInPlace ? inPlace_[i] : more_[i - kInPlace];
  }

 private:
  static constexpr size_t kInPlace = 16;
  ScheduleEvent* inPlace_[kInPlace];
  std::vector<ScheduleEvent*> more_;
  size_t count_ = 0;
};

// ExecuteMinute's walk over `events` (a range of records or of pointers to records), with
// `isDue` as the minute test.
template <typename Range, typename Record, typename Test>
ResultCode executeAmong(MinuteContext& ctx, Range& events, Record record, Test isDue) {
  if (std::begin(events) == std::end(events)) {
    ctx.timing.boot.booting = false;
    return SUCCESS;
  }
  ResultCode result = SUCCESS;
  CandidateList candidates;
  for (auto& item : events) {
    ScheduleEvent& event = record(item);
    result = isDue(event);
    if (result == SUCCESS) {
      if (!candidates.push(&event)) {
        reportResult(ctx.log, MALLOC_FAILURE, nullptr);
        if (candidates.size() == 0) {
          return MALLOC_FAILURE;
        }
        break;
      }
    } else if (isFailure(result)) {
      reportResult(ctx.log, result, nullptr);
    }
  }
  if (candidates.size() > 0) {
    ScheduleEvent* winner = candidates[0];
    for (size_t i = 1; i < candidates.size() && winner != nullptr; ++i) {
      winner = PickPrecedence(ctx.timing, winner, candidates[i]);
    }
    if (ctx.watched != nullptr) [[unlikely]] {
      ctx.watched->due.clear();
      for (size_t i = 0; i < candidates.size(); ++i) {
        ctx.watched->due.push_back(candidates[i]);
      }
      ctx.watched->winner = winner;
    }
    if (winner == nullptr) {
      result = BAD_EVENT;
    } else {
      const ResultCode x = ExecuteEvent(ctx.log, winner, candidates.size() > 1);
      result = x == SUCCESS ? kExecuted : x;
    }
  }
  ctx.timing.boot.booting = false;
  return result;
}

}  // namespace

ResultCode ExecuteMinute(MinuteContext& ctx, EventList& events) {
  return executeAmong(
      ctx, events, [](ScheduleEvent& e) -> ScheduleEvent& { return e; },
      [&ctx](const ScheduleEvent& e) { return IsDueNow(ctx.timing, &e); });
}

ResultCode ExecuteMinuteAmong(MinuteContext& ctx, std::span<ScheduleEvent* const> events) {
  return executeAmong(
      ctx, events, [](ScheduleEvent* e) -> ScheduleEvent& { return *e; },
      [&ctx](const ScheduleEvent& e) { return IsDueNow(ctx.timing, &e); });
}

ResultCode ExecuteDueMinute(MinuteContext& ctx, std::span<ScheduleEvent* const> events) {
  return executeAmong(
      ctx, events, [](ScheduleEvent* e) -> ScheduleEvent& { return *e; },
      [](const ScheduleEvent&) { return ResultCode{SUCCESS}; });
}

}  // namespace quillmar::planprobe
