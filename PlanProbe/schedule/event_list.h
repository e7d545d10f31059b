// The list of parsed events, in the order of their lines in the schedule file.
#pragma once

#include <cstddef>
#include <vector>

#include "log/results_log.h"
#include "schedule/result_code.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// Owns its records; each record owns its parameter buffers. The list is rebuilt every simulated
// day, so records it lets go of stay behind as spares whose buffers the next records reuse.
class EventList {
 public:
  using Records = std::vector<ScheduleEvent>;

  bool empty() const { return size_ == 0; }
  size_t size() const { return size_; }
  Records::iterator begin() { return records_.begin(); }
  Records::iterator end() { return records_.begin() + static_cast<ptrdiff_t>(size_); }
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.begin() + static_cast<ptrdiff_t>(size_); }

  // The record just past the end: a place to build the next record in, with buffers a
  // record of the list had before. Valid until the list changes.
  ScheduleEvent& spare();
  // Takes the spare record in as the new last record.
  void takeSpare() { ++size_; }
  // Takes `event` over as the new last record.
  void push(ScheduleEvent&& event) {
    spare() = std::move(event);
    takeSpare();
  }
  // Empties the list; its records stay behind as spares.
  void clear() { size_ = 0; }

 private:
  Records records_;
  size_t size_ = 0;
};

// Appends `event` to `list` and writes its report to `log` (heading by `syntaxMode`).
// The caller's record is left cleared, ready for the next line; when it is the list's spare
// record, it is taken in as it stands.
ResultCode appendEvent(EventList& list, ScheduleEvent& event, bool syntaxMode, ResultsLog& log);

// Empties `list`.
ResultCode freeEventList(EventList& list);

}  // namespace quillmar::planprobe
