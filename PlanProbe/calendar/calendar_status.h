// Outcome of a calendar or solar operation. The numbers are those of the program's result
// codes, so a caller can report a status by converting it; the calendar itself never reports.
#pragma once

#include <cstdint>

namespace quillmar::planprobe {

enum class CalendarStatus : std::uint8_t {
  Ok = 0,
  BadDate = 181,
  BadDay = 182,
  BadMonth = 184,
  BadPeriod = 185,
  BadGeographicalParams = 188,
};

// The status as the plain 8-bit result code callers report.
constexpr std::uint8_t statusCode(CalendarStatus status) {
  return static_cast<std::uint8_t>(status);
}

}  // namespace quillmar::planprobe
