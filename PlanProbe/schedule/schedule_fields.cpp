#include "schedule/schedule_fields.h"

#include <array>
#include <string_view>

#include "calendar/calendar.h"
#include "calendar/solar.h"
#include "schedule/time_words.h"

namespace quillmar::planprobe {

namespace {

// Error codes and target fields of a date field, by edge.
struct DateField {
  uint8_t ScheduleEvent::*month;
  uint8_t ScheduleEvent::*day;
  uint8_t ScheduleEvent::*year;
  ResultCode badMonth, badDay, badYear, badDate;
};

constexpr DateField kDateFields[] = {
    {&ScheduleEvent::startMonth, &ScheduleEvent::startDay, &ScheduleEvent::startYear,
     BAD_STARTMONTH, BAD_STARTDAY, BAD_STARTYEAR, BAD_STARTDATE},
    {&ScheduleEvent::endMonth, &ScheduleEvent::endDay, &ScheduleEvent::endYear, BAD_ENDMONTH,
     BAD_ENDDAY, BAD_ENDYEAR, BAD_ENDDATE},
};

// Error codes and target fields of a time field, by edge.
struct TimeField {
  uint8_t ScheduleEvent::*hour;
  uint8_t ScheduleEvent::*minute;
  ResultCode badHour, badMin, badTime;
};

constexpr TimeField kTimeFields[] = {
    {&ScheduleEvent::startHour, &ScheduleEvent::startMinute, BAD_STARTHOUR, BAD_STARTMIN,
     BAD_STARTTIME},
    {&ScheduleEvent::endHour, &ScheduleEvent::endMinute, BAD_ENDHOUR, BAD_ENDMIN, BAD_ENDTIME},
};

// The row of `table` that `word` names; null when none does. The longest matching word wins,
// as "SUNRISE" begins with Sunday's "SUN" too.
template <typename Row, size_t N>
const Row* rowNamedBy(const Row (&table)[N], std::string_view word) {
  const Row* found = nullptr;
  for (const Row& row : table) {
    const bool names = row.word.exact ? word == row.word.text : word.starts_with(row.word.text);
    if (names && (found == nullptr || row.word.text.size() > found->word.text.size())) {
      found = &row;
    }
  }
  return found;
}

bool isSeparator(int c) {
  return c == '/' || c == '.' || c == '-';
}

int toUpper(int c) {
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

// Steps over the field's colon and makes sure a character (or the end of the file) follows.
ResultCode consumeColon(ScheduleReader& reader) {
  reader.advance();
  return reader.fill();
}

// Steps over a date separator; false when the cursor stands on none.
ResultCode consumeSeparator(ScheduleReader& reader, bool& found) {
  found = isSeparator(reader.peek());
  if (!found) {
    return SUCCESS;
  }
  reader.advance();
  return reader.fill();
}

// The year: two digits, or four of which the last two count.
ResultCode readYear(ScheduleReader& reader, uint8_t& year, ResultCode badYear) {
  ResultCode rc = reader.readNumber2(year, false);
  if (isFailure(rc)) {
    return rc;
  }
  if (rc != SUCCESS) {
    return badYear;
  }
  const int next = reader.peek();
  if (next >= '0' && next <= '9') {
    rc = reader.readNumber2(year, true);
    if (rc != SUCCESS) {
      return isFailure(rc) ? rc : badYear;
    }
  }
  return SUCCESS;
}

ResultCode readTimeWord(ScheduleReader& reader, ScheduleEvent& event, EventEdge edge,
                        TimeWords& words) {
  const TimeField& field = kTimeFields[static_cast<int>(edge)];
  Word word;
  if (ResultCode rc = reader.readWord(word); rc != SUCCESS) {
    return rc;
  }
  const TimeWord* named = findTimeWord(word.text(), edge == EventEdge::Start);
  if (named == nullptr) {
    return field.badTime;
  }
  if (named->sun == 0) {
    words.boot = true;
    words.sun.clear();
    event.flags |= BOOT_START;
  } else {
    words.sun.push_back(named->sun);
  }
  return SUCCESS;
}

}  // namespace

void SunTimes::substitute(bool sunrise, uint8_t& hour, uint8_t& minute) {
  std::optional<SolarResult>& known = times_[sunrise ? 1 : 0];
  if (!known) {
    const ClockReading clock = host_.clockNow();
    known = SolarEventTime(sunrise ? 1 : 0,
                           SolarDate{clock.year, clock.month, clock.day, clock.hour}, host_.site());
  }
  const SolarResult& result = *known;
  if (result.status == CalendarStatus::Ok) {
    hour = static_cast<uint8_t>(result.time.hour);
    minute = static_cast<uint8_t>(result.time.minute);
  }
}

ResultCode readDateField(ScheduleReader& reader, ScheduleEvent& event, EventEdge edge) {
  const DateField& field = kDateFields[static_cast<int>(edge)];
  if (ResultCode rc = consumeColon(reader); rc != SUCCESS) {
    return rc;
  }
  uint8_t month = 0;
  ResultCode rc = reader.readNumber2(month, false);
  if (rc != SUCCESS || month > 12) {
    return isFailure(rc) ? rc : field.badMonth;
  }
  event.*field.month = static_cast<uint8_t>(monthCode(month));
  bool separator = false;
  if (rc = consumeSeparator(reader, separator); rc != SUCCESS || !separator) {
    return isFailure(rc) ? rc : field.badDate;
  }
  rc = reader.readNumber2(event.*field.day, false);
  if (rc != SUCCESS) {
    return isFailure(rc) ? rc : field.badDay;
  }
  if (rc = consumeSeparator(reader, separator); rc != SUCCESS || !separator) {
    return isFailure(rc) ? rc : field.badDate;
  }
  if (rc = readYear(reader, event.*field.year, field.badYear); rc != SUCCESS) {
    return rc;
  }
  const CalendarStatus day = CheckDayOfMonth(static_cast<int8_t>(event.*field.month),
                                             static_cast<int8_t>(event.*field.day),
                                             static_cast<int8_t>(event.*field.year));
  return day == CalendarStatus::Ok ? ResultCode{SUCCESS} : field.badDate;
}

void applyTimeWords(const TimeWords& words, EventEdge edge, const ScheduleHost& host, SunTimes& sun,
                    ScheduleEvent& event) {
  const TimeField& field = kTimeFields[static_cast<int>(edge)];
  if (words.boot) {
    const BootTime boot = host.bootTime();
    event.*field.hour = boot.hour;
    event.*field.minute = boot.minute;
  }
  for (const char word : words.sun) {
    sun.substitute(word == 'R', event.*field.hour, event.*field.minute);
  }
}

ResultCode readTimeField(ScheduleReader& reader, ScheduleEvent& event, EventEdge edge,
                         TimeWords& words) {
  const TimeField& field = kTimeFields[static_cast<int>(edge)];
  if (ResultCode rc = consumeColon(reader); rc != SUCCESS) {
    return rc;
  }
  if (beginsTimeWord(toUpper(reader.peek()), edge == EventEdge::Start)) {
    return readTimeWord(reader, event, edge, words);
  }
  uint8_t hour = 0;
  ResultCode rc = reader.readNumber2(hour, false);
  if (rc != SUCCESS || hour > 23) {
    return isFailure(rc) ? rc : field.badHour;
  }
  event.*field.hour = hour;
  if (reader.peek() != ':') {
    return field.badTime;
  }
  if (rc = consumeColon(reader); rc != SUCCESS) {
    return rc;
  }
  uint8_t minute = 0;
  rc = reader.readNumber2(minute, true);
  if (rc != SUCCESS || minute > 59) {
    return isFailure(rc) ? rc : field.badMin;
  }
  event.*field.minute = minute;
  words = TimeWords{};  // the digits replace whatever the words stood for
  return SUCCESS;
}

namespace {

// Reads the word after a field's colon into `target` as the code of the row of `table` it
// names; a word that names none is `failure`, and `target` keeps its value.
template <typename Row, size_t N>
ResultCode readCodeWord(ScheduleReader& reader, const Row (&table)[N], ResultCode failure,
                        int8_t& target) {
  if (ResultCode rc = consumeColon(reader); rc != SUCCESS) {
    return rc;
  }
  Word word;
  if (ResultCode rc = reader.readWord(word); rc != SUCCESS) {
    return rc;
  }
  const Row* row = rowNamedBy(table, word.text());
  if (row == nullptr) {
    return failure;
  }
  target = row->code;
  return SUCCESS;
}

}  // namespace

ResultCode readPeriodField(ScheduleReader& reader, ScheduleEvent& event) {
  return readCodeWord(reader, kPeriods, BAD_PERIOD, event.period);
}

ResultCode readSetField(ScheduleReader& reader, ScheduleEvent& event) {
  return readCodeWord(reader, kSets, BAD_SET, event.set);
}

ResultCode readRepeatField(ScheduleReader& reader, ScheduleEvent& event) {
  if (ResultCode rc = consumeColon(reader); rc != SUCCESS) {
    return rc;
  }
  for (int c = reader.peek(); c >= '0' && c <= '9'; c = reader.peek()) {
    // The unit keeps the count in a signed byte; a count that does not fit is flagged so
    // the classification can refuse it.
    const int wide = event.repeat * 10 + (c - '0');
    if (wide > 127) {
      event.repeatOverflow = true;
    }
    event.repeat = static_cast<int8_t>(static_cast<uint8_t>(wide & 0xFF));
    reader.advance();
    if (ResultCode rc = reader.fill(); rc != SUCCESS) {
      return rc;
    }
  }
  return SUCCESS;
}

ResultCode readKindField(ScheduleReader& reader, ScheduleEvent& event) {
  if (ResultCode rc = consumeColon(reader); rc != SUCCESS) {
    return rc;
  }
  Word word;
  if (ResultCode rc = reader.readWord(word); rc != SUCCESS) {
    return rc;
  }
  return matchEventKeyword(word.text(), event.kind);
}

ResultCode readFieldValue(const FieldTag& tag, ScheduleReader& reader, ScheduleEvent& event,
                          std::array<TimeWords, 2>& times, char& fieldLetter) {
  switch (tag.value) {
    case FieldValue::StartDate:
      return readDateField(reader, event, EventEdge::Start);
    case FieldValue::EndDate:
      return readDateField(reader, event, EventEdge::End);
    case FieldValue::StartTime:
      return readTimeField(reader, event, EventEdge::Start, times[0]);
    case FieldValue::EndTime:
      return readTimeField(reader, event, EventEdge::End, times[1]);
    case FieldValue::Period:
      return readPeriodField(reader, event);
    case FieldValue::Set:
      return readSetField(reader, event);
    case FieldValue::Repeat:
      return readRepeatField(reader, event);
    case FieldValue::Event:
      return readKindField(reader, event);
    case FieldValue::Param:
      break;
  }
  const int index = tag.letter - '1';
  reader.advance();
  if (ResultCode rc = reader.fill(); rc != SUCCESS) {
    return rc;
  }
  const ResultCode rc = reader.readParams(event.params[index], fieldLetter);
  return rc == SUCCESS ? ResultCode{SUCCESS} : static_cast<ResultCode>(BAD_DATA_PARAM1 + index);
}

}  // namespace quillmar::planprobe
