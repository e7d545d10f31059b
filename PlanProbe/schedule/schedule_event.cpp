#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

ResultCode classifyEvent(ScheduleEvent& event) {
  if (event.period == 0) {
    event.flags |= ONE_SHOT;
    return SUCCESS;
  }
  // A count too large for the unit's field is as unusable as no count.
  if (event.repeat == 0 || event.repeatOverflow) {
    return REJECTED_EVENT;
  }
  if (event.endDay != 0 || event.endMonth != 0 || event.endYear != 0) {
    event.flags |= HAS_END;
  }
  if (event.set != 0) {
    event.flags |= HAS_SET;
    if (event.repeat <= 0) {
      return REJECTED_EVENT;
    }
    event.flags |= SET_REPEATS;
  }
  return SUCCESS;
}

}  // namespace quillmar::planprobe
