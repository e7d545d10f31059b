#include "session/clock_host.h"

#include "session/minute_run.h"

namespace quillmar::planprobe {

ClockReading ClockHost::clockNow() const {
  return {clock_.ClockYear(), clock_.ClockMonth(),  clock_.ClockDay(),
          clock_.ClockHour(), clock_.ClockMinute(), clock_.ClockDateKey()};
}

void ClockHost::captureBootTime() {
  if (boot_.booting && boot_.bootHour > 23) {
    boot_.bootDateKey = clock_.ClockDateKey();
    boot_.bootHour = static_cast<uint8_t>(clock_.ClockHour());
    boot_.bootMinute = static_cast<uint8_t>(clock_.ClockMinute());
  }
}

ResultCode ClockHost::loadsToday(ScheduleEvent& event, const char* context) {
  LogReports reports(log_);
  TimingContext timing{clock_, boot_, reports};
  return LoadsToday(timing, &event, context);
}

}  // namespace quillmar::planprobe
