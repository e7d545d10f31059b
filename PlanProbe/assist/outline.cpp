#include "assist/outline.h"

#include "assist/event_words.h"
#include "assist/line_fields.h"
#include "insight/finding_text.h"
#include "insight/run_summary.h"
#include "schedule/repeat_period.h"

namespace quillmar::planprobe {
namespace {

constexpr size_t kFrame = 3;  // characters of a heading's shortest frame
constexpr std::string_view kBlanks = " \t\r";

// `text` without the blanks, tabs and carriage returns around it.
std::string_view trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// True when the event repeats within the day, so that its repeat says more than its time.
bool repeatsWithinDay(const ScheduleEvent& e) {
  return (e.period == PERIOD_MINUTE || e.period == PERIOD_HOUR) && findSet(e.set) == nullptr;
}

// The outline entry of the valid event line `line`.
OutlineSymbol symbolOf(std::string_view text, const ParsedLine& line, const PhysicalLines& lines) {
  const LineReading reading = ReadLine(text, line.start);
  OutlineSymbol symbol{
      EventInShort(line.event) + " \u00b7 ", {}, line.start, reading.end, line.start, reading.end,
      lines.placeOf(line.start).line};
  const std::string time = TimeInWords(line, EventEdge::Start);
  if (repeatsWithinDay(line.event)) {
    symbol.name += RepeatInWords(line.event);
    symbol.detail = "from " + time;
  } else {
    symbol.name += time;
    symbol.detail = RepeatInWords(line.event);
  }
  for (const FieldSpan& field : reading.fields) {
    if (field.tag->value == FieldValue::Event) {
      symbol.nameStart = field.tagAt;
      symbol.nameEnd = field.valueTo;
    }
  }
  return symbol;
}

}  // namespace

std::string HeadingName(std::string_view line) {
  line = trimmed(line);
  if (!line.starts_with(';')) {
    return {};
  }
  line = trimmed(line.substr(1));
  if (line.empty() || line.find_first_of("-=*") != 0) {
    return {};
  }
  const char frame = line.front();
  const size_t opening = line.find_first_not_of(frame);
  const size_t closing = line.find_last_not_of(frame);
  if (opening == std::string_view::npos || opening < kFrame || line.size() - closing - 1 < kFrame) {
    return {};
  }
  return std::string(trimmed(line.substr(opening, closing - opening + 1)));
}

std::vector<OutlineSection> OutlineOf(std::string_view text) {
  const ParsedSchedule parsed = ParseText(text);
  const PhysicalLines lines(text);
  std::vector<OutlineSection> sections;
  auto event = parsed.lines.begin();
  for (size_t start = 0; start < text.size();) {
    const LineReading reading = ReadLine(text, start);
    const bool commentOnly = reading.fields.empty();
    std::string heading =
        commentOnly ? HeadingName(text.substr(start, reading.end - start)) : std::string();
    while (event != parsed.lines.end() && event->start < start) {
      ++event;
    }
    if (!heading.empty()) {
      sections.push_back({std::move(heading), start, reading.end, lines.placeOf(start).line, {}});
    } else if (event != parsed.lines.end() && event->start == start && event->report == SUCCESS) {
      if (sections.empty()) {
        sections.push_back({{}, start, reading.end, lines.placeOf(start).line, {}});
      }
      sections.back().events.push_back(symbolOf(text, *event, lines));
      sections.back().end = reading.end;
    }
    start = reading.end + 1;
  }
  return sections;
}

}  // namespace quillmar::planprobe
