#include "assist/event_words.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "assist/line_fields.h"
#include "calendar/calendar.h"
#include "insight/run_summary.h"
#include "schedule/repeat_period.h"
#include "schedule/time_words.h"

namespace quillmar::planprobe {
namespace {

// `n` with its English ordinal ending: 1st, 2nd, 3rd, 4th, 11th, 22nd.
std::string ordinal(int n) {
  const int tens = n % 100;
  const int ones = n % 10;
  const char* ending = (tens >= 11 && tens <= 13) || ones == 0 || ones > 3 ? "th"
                       : ones == 1                                         ? "st"
                       : ones == 2                                         ? "nd"
                                                                           : "rd";
  return std::to_string(n) + ending;
}

// "HH:MM".
std::string clockText(int hour, int minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

// "YYYY-MM-DD" of a date as the event keeps it (month code, two-digit year).
std::string dateText(uint8_t monthCode, uint8_t day, uint8_t year) {
  return DateText(SimMoment{static_cast<int8_t>(year), static_cast<int8_t>(monthOfCode(monthCode)),
                            static_cast<int8_t>(day), 0, 0});
}

// "every <unit>" or "every <count> <unit>s" for a grid counted in whole units.
std::string everyCount(int repeat, std::string_view unit) {
  return repeat == 1 ? "every " + std::string(unit)
                     : "every " + std::to_string(repeat) + " " + std::string(unit) + "s";
}

// "every day" or "every <n>th day".
std::string everyNthDay(int repeat) {
  return repeat == 1 ? "every day" : "every " + ordinal(repeat) + " day";
}

// The time word that `words` leave the time at; null when the digits stand.
const TimeWord* lastTimeWord(const TimeWords& words) {
  for (const TimeWord& w : kTimeWords) {
    if (words.sun.empty() ? words.boot && w.sun == 0 : w.sun == words.sun.back()) {
      return &w;
    }
  }
  return nullptr;
}

// The start time in a sentence, a sun time also as it falls on the start date at `site`.
std::string startTimeLine(const ParsedLine& line, const SiteProvider& site) {
  const ScheduleEvent& e = line.event;
  const TimeWord* word = lastTimeWord(line.times[0]);
  if (word == nullptr) {
    return "at " + clockText(e.startHour, e.startMinute);
  }
  std::string text = "at " + std::string(word->name);
  if (word->sun != 0 && e.startMonth != 0) {
    const SolarResult sun =
        SolarEventTime(word->sun == 'R' ? 1 : 0,
                       SolarDate{e.startYear, monthOfCode(e.startMonth), e.startDay, 0}, site);
    if (sun.status == CalendarStatus::Ok) {
      text += " (" + clockText(sun.time.hour, sun.time.minute) + " on the start date)";
    }
  }
  return text;
}

// The event and its data parameters as written.
std::string eventLine(std::string_view text, const ScheduleEvent& e,
                      const std::vector<FieldSpan>& fields) {
  std::string line(EventKeyword(e.kind));
  std::array<std::string_view, 4> params{};
  for (const FieldSpan& f : fields) {
    if (f.tag->value == FieldValue::Param) {
      std::string_view value = text.substr(f.valueFrom, f.valueTo - f.valueFrom);
      value.remove_prefix(std::min(value.size(), value.find_first_not_of(" ,")));
      value.remove_suffix(value.size() - (value.find_last_not_of(" ,") + 1));
      params[f.tag->letter - '1'] = value;
    }
  }
  const char* joint = " with ";
  for (const std::string_view param : params) {
    if (!param.empty()) {
      line += joint;
      line += param;
      joint = ", ";
    }
  }
  return line;
}

// True when `fields` hold a field of `value`.
bool has(const std::vector<FieldSpan>& fields, FieldValue value) {
  for (const FieldSpan& f : fields) {
    if (f.tag->value == value) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string RepeatInWords(const ScheduleEvent& e) {
  const PeriodDescription* period = findPeriod(e.period);
  if (e.period == 0 || period == nullptr) {
    return "once";
  }
  const bool monthSet = findSet(e.set) != nullptr;
  switch (period->rule) {
    case PeriodRule::Weekday:
      return monthSet ? "the " + std::string(period->name) + " in week " +
                            std::to_string(e.repeat) + " of the month"
                      : "every " + std::string(period->name);
    case PeriodRule::Year:
      return everyCount(e.repeat, "year");
    case PeriodRule::Grid:
      break;
    case PeriodRule::Unknown:
      return "once";
  }
  if (monthSet) {
    return "on day " + std::to_string(e.repeat) + " of the month";
  }
  switch (e.period) {
    case PERIOD_MINUTE:
      return everyCount(e.repeat, "minute");
    case PERIOD_HOUR:
      return everyCount(e.repeat, "hour");
    case PERIOD_SUNRISE:
      return everyNthDay(e.repeat) + " at sunrise";
    case PERIOD_SUNSET:
      return everyNthDay(e.repeat) + " at sunset";
    case PERIOD_BOOT:
      return "at every boot";
    default:
      return everyNthDay(e.repeat);
  }
}

std::string TimeInWords(const ParsedLine& line, EventEdge edge) {
  const int index = static_cast<int>(edge);
  if (const TimeWord* word = lastTimeWord(line.times[index])) {
    return std::string(word->name);
  }
  const ScheduleEvent& e = line.event;
  return edge == EventEdge::Start ? clockText(e.startHour, e.startMinute)
                                  : clockText(e.endHour, e.endMinute);
}

std::vector<std::string> TagsInWords(std::string_view text, const ParsedLine& line,
                                     const SiteProvider& site) {
  const ScheduleEvent& e = line.event;
  const std::vector<FieldSpan> fields = ReadLine(text, line.start).fields;
  std::vector<std::string> lines;
  if (e.startMonth != 0) {
    const std::string_view weekday = weekdayName(WeekdayCode(
        e.startYear, static_cast<int8_t>(e.startMonth), static_cast<int8_t>(e.startDay)));
    lines.push_back("starts " + dateText(e.startMonth, e.startDay, e.startYear) + ", " +
                    std::string(weekday));
  }
  if (has(fields, FieldValue::StartTime)) {
    lines.push_back(startTimeLine(line, site));
  }
  lines.push_back(RepeatInWords(e));
  if (const SetDescription* set = findSet(e.set)) {
    lines.push_back(e.set == SET_MONTH ? "in every month" : "in " + std::string(set->name));
  }
  if (e.endMonth != 0) {
    lines.push_back("until " + dateText(e.endMonth, e.endDay, e.endYear));
  }
  if (has(fields, FieldValue::EndTime)) {
    lines.push_back("until " + TimeInWords(line, EventEdge::End));
  }
  if (e.kind != 0) {
    lines.push_back(eventLine(text, e, fields));
  }
  return lines;
}

std::optional<EventWords> EventWordsAt(std::string_view text, size_t offset,
                                       const SiteProvider& site) {
  const ParsedSchedule parsed = ParseText(text);
  for (const ParsedLine& line : parsed.lines) {
    const size_t end = ReadLine(text, line.start).end;
    if (line.report == SUCCESS && line.start <= offset && offset <= end) {
      return EventWords{line.start, end, TagsInWords(text, line, site)};
    }
  }
  return std::nullopt;
}

}  // namespace quillmar::planprobe
