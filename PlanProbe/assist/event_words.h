// An event line's tags in words, for a reader who does not know the schedule language: one
// sentence a tag, "starts 2002-07-24, Wednesday", "every 2nd day", "ON with 1".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/solar.h"
#include "schedule/parser.h"

namespace quillmar::planprobe {

// How often the classified `event` repeats: "once", "every day", "every 2nd day", "every
// Monday", "every 15 minutes", "on day 15 of the month" (with a set), ...
std::string RepeatInWords(const ScheduleEvent& event);

// The time of `edge` of `line` in short: "06:30", or the time word it stands for ("sunrise",
// "sunset", "boot").
std::string TimeInWords(const ParsedLine& line, EventEdge edge);

// The tags of the valid event line `line` of `text` in words, in this order: the start date
// with its weekday, the start time (a sun time also as it falls on the start date at `site`),
// how it repeats (always, "once" without a period), the set, the end date and time, the event
// with its data parameters as written.
std::vector<std::string> TagsInWords(std::string_view text, const ParsedLine& line,
                                     const SiteProvider& site = GetSiteParameters);

// The words of the valid event line that holds byte `offset`, and where that line lies.
struct EventWords {
  size_t start;
  size_t end;  // where the line ends: its line feed, or the end of the text
  std::vector<std::string> lines;
};

// TagsInWords of the valid event line that holds `offset`; none off such a line.
std::optional<EventWords> EventWordsAt(std::string_view text, size_t offset,
                                       const SiteProvider& site = GetSiteParameters);

}  // namespace quillmar::planprobe
