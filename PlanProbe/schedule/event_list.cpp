#include "schedule/event_list.h"

#include "schedule/event_report.h"

namespace quillmar::planprobe {

ScheduleEvent& EventList::spare() {
  if (size_ == records_.size()) {
    records_.emplace_back();
  }
  return records_[size_];
}

ResultCode appendEvent(EventList& list, ScheduleEvent& event, bool syntaxMode, ResultsLog& log) {
  if (&event == &list.spare()) {
    list.takeSpare();
  } else {
    list.push(std::move(event));
    event.clear();
  }
  printEvent(*(list.end() - 1), syntaxMode, log);
  return SUCCESS;
}

ResultCode freeEventList(EventList& list) {
  list.clear();
  return SUCCESS;
}

}  // namespace quillmar::planprobe
