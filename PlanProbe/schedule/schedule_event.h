// The parsed schedule event and the small number spaces its fields use.
//
// schedule/ is the schedule language: this event record and its list, the event classes,
// repeat periods and sets, result codes, the file reader, the parser and the event report. It may
// use calendar/ and log/; what it needs of the simulated unit (its clock and the day test) it asks
// through ScheduleHost, so it never reaches up to the rules or the session.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "calendar/calendar.h"
#include "schedule/repeat_period.h"
#include "schedule/result_code.h"

namespace quillmar::planprobe {

// What an event does ("E:" keyword).
enum EventKind : uint8_t {
  SENDSTRING = 51,
  STARTSEQUENCE = 52,
  STOP = 53,
  RESET = 54,
  PAUSE = 55,
  SETVAREQ = 56,
  ON = 57,
  OFF = 58,
  DEFAULTWEBPAGE = 59,
};

// How many kinds there are: the length of every table indexed by kind - SENDSTRING.
inline constexpr size_t kKindCount = DEFAULTWEBPAGE - SENDSTRING + 1;

// Bits of `flags`: the event class (bits 0..6) and the boot start mark.
enum EventClass : uint8_t {
  HAS_SET = 0x01,
  SET_REPEATS = 0x02,
  HAS_END = 0x04,
  ONE_SHOT = 0x08,
  BOOT_START = 0x80,
};
constexpr uint8_t kClassMask = 0x7F;

// The bytes of one data parameter: its items followed by a zero byte. Empty when the
// parameter is absent, so a present one always holds at least the terminating zero.
using ParamBuffer = std::vector<uint8_t>;

// Log text that the reports and executions of one parsed line repeat day after day, made once
// and shared by every copy of the line's record. Each piece states the fields it was made from
// and is used only while they are unchanged.
struct EventTexts {
  std::string command;                     // the executed command's line after its mark
  uint16_t commandTime = 0;                // the start time it was made for: hour x 256 + minute
  std::string report;                      // the event's report line
  std::array<uint8_t, 16> reportFields{};  // the fields it was made from (see event_report.cpp)
};

// One event line of a schedule file. A default-constructed record is the cleared state.
struct ScheduleEvent {
  uint8_t kind = 0;                   // EventKind; 0 while no "E:" field was read
  std::array<ParamBuffer, 4> params;  // "1:" .. "4:"
  uint8_t startMinute = 0;
  uint8_t startHour = 0;
  uint8_t startDay = 0;
  int32_t startKey = 0;    // DateKey of the start date; 0 when there is none
  uint8_t startMonth = 0;  // month code; 0 when there is no start date
  uint8_t startYear = 0;   // two-digit year offset from 2000
  uint8_t endMinute = 0;
  uint8_t endHour = 0;
  uint8_t endDay = 0;
  int32_t endKey = 0;
  uint8_t endMonth = 0;
  uint8_t endYear = 0;
  uint8_t flags = 0;            // EventClass bits
  int8_t repeat = 0;            // "R:" count, kept modulo 256 like the unit's own field
  bool repeatOverflow = false;  // the written count did not fit (above 127)
  int8_t period = 0;            // a code of kPeriods; 0 when absent
  int8_t set = 0;               // a code of kSets; 0 when absent
  uint32_t line = 0;            // the schedule line it was read from, as the log numbers it
  // Log text made for this line before; null for a record that keeps none.
  std::shared_ptr<EventTexts> texts;

  // Resets every field and frees the parameter buffers.
  void clear() { *this = ScheduleEvent{}; }
};

// Sets the class bits of `event` from its repeat fields and returns SUCCESS when the event is
// acceptable, REJECTED_EVENT when a periodic event lacks a usable repeat count.
ResultCode classifyEvent(ScheduleEvent& event);

}  // namespace quillmar::planprobe
