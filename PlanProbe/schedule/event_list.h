// The list of parsed events, in the order of their lines in the schedule file.
#pragma once

#include <vector>

#include "result_code.h"
#include "results_log.h"
#include "schedule_event.h"

namespace quillmar::planprobe {

// Owns its records; each record owns its parameter buffers.
class EventList {
 public:
  using Records = std::vector<ScheduleEvent>;

  bool empty() const { return records_.empty(); }
  size_t size() const { return records_.size(); }
  Records::iterator begin() { return records_.begin(); }
  Records::iterator end() { return records_.end(); }
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }

  // Takes `event` over as the new last record.
  void push(ScheduleEvent&& event) { records_.push_back(std::move(event)); }
  // Frees every record.
  void clear() { records_.clear(); }

 private:
  Records records_;
};

// Appends `event` to `list` and writes its report to `log` (heading by `syntaxMode`).
// The caller's record is left cleared, ready for the next line.
ResultCode appendEvent(EventList& list, ScheduleEvent& event, bool syntaxMode, ResultsLog& log);

// Frees every record of `list`.
ResultCode freeEventList(EventList& list);

}  // namespace quillmar::planprobe
