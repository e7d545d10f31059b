// What the schedule parser sees of the simulated unit: its clock, its boot time and the day
// test, over state that the session (or a test) owns.
#pragma once

#include <utility>

#include "calendar/solar.h"
#include "log/results_log.h"
#include "rules/sim_clock.h"
#include "schedule/schedule_host.h"

namespace quillmar::planprobe {

class ClockHost final : public ScheduleHost {
 public:
  ClockHost(const SimClock& clock, BootState& boot, ResultsLog& log)
      : clock_(clock), boot_(boot), log_(log) {}

  ClockReading clockNow() const override;
  void captureBootTime() override;
  BootTime bootTime() const override { return {boot_.bootHour, boot_.bootMinute}; }
  ResultCode loadsToday(ScheduleEvent& event, const char* context) override;
  SiteProvider site() const override { return site_; }
  // Sunrise and sunset from now on for `site` instead of the fixed site.
  void setSite(SiteProvider site) { site_ = std::move(site); }

 private:
  const SimClock& clock_;
  BootState& boot_;
  ResultsLog& log_;
  SiteProvider site_ = GetSiteParameters;
};

}  // namespace quillmar::planprobe
