#include "event_list.h"

#include "event_report.h"

namespace quillmar::planprobe {

ResultCode appendEvent(EventList& list, ScheduleEvent& event, bool syntaxMode, ResultsLog& log) {
  list.push(std::move(event));
  event.clear();
  printEvent(*(list.end() - 1), syntaxMode, log);
  return SUCCESS;
}

ResultCode freeEventList(EventList& list) {
  list.clear();
  return SUCCESS;
}

}  // namespace quillmar::planprobe
