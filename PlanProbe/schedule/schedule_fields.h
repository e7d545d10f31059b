// Readers for the values of the fields of a schedule line ("D:", "T:", "P:", ...). Each is
// called with the cursor on the field's colon, consumes the colon and the value, stores what
// it read in the event, and returns SUCCESS or the field's own error code.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calendar/solar.h"
#include "schedule/field_tags.h"
#include "schedule/reader.h"
#include "schedule/schedule_event.h"
#include "schedule/schedule_host.h"

namespace quillmar::planprobe {

// Which of the two dates or times of an event a field fills.
enum class EventEdge { Start, End };

// "D:" / "A:": month, separator, day, separator, two- or four-digit year.
ResultCode readDateField(ScheduleReader& reader, ScheduleEvent& event, EventEdge edge);

// The words of one time field whose value the clock decides when the event is loaded, not
// when its text is read: the time is the boot time (or the digits last read), then each sun
// word in turn replaces it with the day's sunrise ('R') or sunset ('S') where that is known.
struct TimeWords {
  bool boot = false;
  std::string sun;
};

// "T:" / "I:": hour ":" minute, or a word for sunrise, sunset or (start only) the boot time.
// Digits are stored in the event; words are noted in `words` (BOOT also sets BOOT_START).
ResultCode readTimeField(ScheduleReader& reader, ScheduleEvent& event, EventEdge edge,
                         TimeWords& words);

// The sunrise and sunset times of the host clock's day, each worked out at most once: the
// clock stands still while a schedule is loaded, and one load may ask for them many times.
class SunTimes {
 public:
  explicit SunTimes(const ScheduleHost& host) : host_(host) {}

  // Sets `hour` and `minute` to the sunrise (`sunrise`) or sunset time; leaves them alone when
  // the site cannot be computed.
  void substitute(bool sunrise, uint8_t& hour, uint8_t& minute);

 private:
  const ScheduleHost& host_;
  std::array<std::optional<SolarResult>, 2> times_;  // sunset, sunrise
};

// Gives the time of `edge` in `event` the value its words stand for on the host's clock.
void applyTimeWords(const TimeWords& words, EventEdge edge, const ScheduleHost& host, SunTimes& sun,
                    ScheduleEvent& event);

// "P:": the repeat period word.
ResultCode readPeriodField(ScheduleReader& reader, ScheduleEvent& event);

// "S:": the repeat set word.
ResultCode readSetField(ScheduleReader& reader, ScheduleEvent& event);

// "R:": decimal digits appended to the count read so far; never fails.
ResultCode readRepeatField(ScheduleReader& reader, ScheduleEvent& event);

// "E:": the event keyword.
ResultCode readKindField(ScheduleReader& reader, ScheduleEvent& event);

// Reads the value of the field `tag` whose colon is at the cursor, by what the field holds.
// `times` are the line's time words by EventEdge; a data parameter list that ends at the tag of
// the next one leaves its digit in `fieldLetter`, with the cursor on its colon.
ResultCode readFieldValue(const FieldTag& tag, ScheduleReader& reader, ScheduleEvent& event,
                          std::array<TimeWords, 2>& times, char& fieldLetter);

}  // namespace quillmar::planprobe
