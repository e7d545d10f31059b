// Readers for the values of the fields of a schedule line ("D:", "T:", "P:", ...). Each is
// called with the cursor on the field's colon, consumes the colon and the value, stores what
// it read in the event, and returns SUCCESS or the field's own error code.
#pragma once

#include <string>

#include "reader.h"
#include "schedule_event.h"
#include "schedule_host.h"

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

// Gives the time of `edge` in `event` the value its words stand for on the host's clock.
void applyTimeWords(const TimeWords& words, EventEdge edge, const ScheduleHost& host,
                    ScheduleEvent& event);

// "P:": the repeat period word.
ResultCode readPeriodField(ScheduleReader& reader, ScheduleEvent& event);

// "S:": the repeat set word.
ResultCode readSetField(ScheduleReader& reader, ScheduleEvent& event);

// "R:": decimal digits appended to the count read so far; never fails.
ResultCode readRepeatField(ScheduleReader& reader, ScheduleEvent& event);

// "E:": the event keyword.
ResultCode readKindField(ScheduleReader& reader, ScheduleEvent& event);

// Sets `hour` and `minute` to the sunrise (`sunrise`) or sunset time of the clock's day; leaves
// them alone when the site cannot be computed.
void substituteSolarTime(bool sunrise, const ScheduleHost& host, uint8_t& hour, uint8_t& minute);

}  // namespace quillmar::planprobe
