#include "assist/line_fields.h"

#include <algorithm>
#include <array>

#include "schedule/reader.h"
#include "schedule/schedule_fields.h"

namespace quillmar::planprobe {
namespace {

// True when `cut` falls inside a quoted text of the data parameter list `list` (the list's text
// before the cut): a backslash there takes the next character with it.
bool endsInText(std::string_view list) {
  bool inText = false;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '"') {
      inText = !inText;
    } else if (inText && list[i] == '\\') {
      ++i;
    }
  }
  return inText;
}

// Where the line feed at or after `from` stands, or `cut` when none comes before it.
size_t lineFeedFrom(std::string_view text, size_t from, size_t cut) {
  return std::min(cut, std::min(text.find('\n', from), text.size()));
}

// Reads the value of `tag` whose colon stands at `colon` with the schedule's own reader.
// Values but data parameters never pass a line feed, so their reader sees only the line.
// Only a data parameter list stops before a colon: at the next list's tag, whose digit the
// reader has taken.
FieldSpan readValue(std::string_view text, const FieldTag& tag, size_t colon, size_t cut,
                    ScheduleEvent& event, std::array<TimeWords, 2>& times, char& letter) {
  const size_t limit = tag.value == FieldValue::Param ? cut : lineFeedFrom(text, colon, cut);
  ScheduleReader reader;
  reader.openText(text.substr(colon, limit - colon));
  reader.readChunk();
  const ResultCode rc = readFieldValue(tag, reader, event, times, letter);
  size_t to = colon + reader.offset();
  if (to < limit && text[to] == ':') {
    --to;  // a parameter list that ends at the next one's tag: the tag is the next field's
  }
  return FieldSpan{&tag, colon - 1, colon + 1, to, rc};
}

}  // namespace

LineReading ReadLine(std::string_view text, size_t start, size_t cut) {
  cut = std::min(cut, text.size());
  LineReading reading{{}, cut, LineEnd::Between};
  ScheduleEvent event;
  std::array<TimeWords, 2> times;
  char letter = 0;  // the character before the present one, as the parser keeps it
  for (size_t i = start; i < cut;) {
    const char c = text[i];
    if (c == '\n') {
      reading.end = i;
      reading.state = LineEnd::LineFeed;
      return reading;
    }
    if (c == ';') {
      reading.end = lineFeedFrom(text, i, cut);
      reading.state = reading.end == cut ? LineEnd::Comment : LineEnd::LineFeed;
      return reading;
    }
    const FieldTag* tag = c == ':' ? findFieldTag(letter) : nullptr;
    if (tag == nullptr) {
      letter = c;
      ++i;
      continue;
    }
    const FieldSpan span = readValue(text, *tag, i, cut, event, times, letter);
    reading.fields.push_back(span);
    if (span.valueTo == cut) {
      const bool quoted = tag->value == FieldValue::Param &&
                          endsInText(text.substr(span.valueFrom, cut - span.valueFrom));
      reading.state = quoted ? LineEnd::InText : LineEnd::InValue;
      return reading;
    }
    if (isFailure(span.result)) {
      reading.end = lineFeedFrom(text, span.valueTo, cut);
      reading.state = reading.end == cut ? LineEnd::Skipped : LineEnd::LineFeed;
      return reading;
    }
    i = span.valueTo;
  }
  return reading;
}

LineReading ReadUpTo(std::string_view text, size_t offset, size_t& lineStart) {
  offset = std::min(offset, text.size());
  lineStart = 0;
  for (;;) {
    LineReading reading = ReadLine(text, lineStart, offset);
    if (reading.state != LineEnd::LineFeed) {
      return reading;
    }
    lineStart = reading.end + 1;
  }
}

ParsedSchedule ParseText(std::string_view text) {
  ScheduleReader reader;
  reader.openText(text);
  reader.readChunk();
  return parseScheduleText(reader);
}

}  // namespace quillmar::planprobe
