// What the editor shows of one event line: the hover (its tags in words, its next runs, how
// often it runs and what it loses) and the code lens (the same in one line), from a finished
// run of the schedule.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "schedule/parser.h"
#include "server/schedule_run.h"

namespace quillmar::planprobe {

// The hover of `line`, in Markdown.
std::string HoverText(const ScheduleRun& run, const LineAtPlace& line);

// The code lens title of the valid event line the log numbers `line`: "runs 7× · first
// 2002-07-24 06:30"; nothing for a line that is not listed.
std::optional<std::string> LensTitle(const ScheduleRun& run, uint32_t line);

}  // namespace quillmar::planprobe
