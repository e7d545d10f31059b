// The event classes (an event's `flags` without BOOT_START) and what each one means to the
// unit: how the day and minute tests treat it, and whether the parser warns of an end date
// before the start. One table, read by the parser and by the rules alike.
#pragma once

#include <array>
#include <cstdint>

#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// How the day and minute tests treat an event's class.
enum class ClassRule : uint8_t { Unknown, OneShot, WithEnd, Repeating };

// What one class value means.
struct ClassDescription {
  uint8_t eventClass;
  ClassRule rule;
  bool endDateChecked;  // the parser warns when the end date lies before the start date
};

// Every class the unit knows; any other value is an unknown class. The end-date check skips
// the class with an end and a repeating set but no set bit, as the unit's firmware does.
inline constexpr ClassDescription kEventClasses[] = {
    {0, ClassRule::Repeating, false},
    {SET_REPEATS, ClassRule::Repeating, false},
    {HAS_SET | SET_REPEATS, ClassRule::Repeating, false},
    {HAS_END, ClassRule::WithEnd, true},
    {HAS_END | SET_REPEATS, ClassRule::WithEnd, false},
    {HAS_END | HAS_SET | SET_REPEATS, ClassRule::WithEnd, true},
    {ONE_SHOT, ClassRule::OneShot, false},
};

// kEventClasses by class value, for a lookup in constant time.
inline constexpr std::array<ClassDescription, kClassMask + 1> kClassByValue = [] {
  std::array<ClassDescription, kClassMask + 1> byValue{};
  for (size_t value = 0; value < byValue.size(); ++value) {
    byValue[value] = {static_cast<uint8_t>(value), ClassRule::Unknown, false};
  }
  for (const ClassDescription& d : kEventClasses) {
    byValue[d.eventClass] = d;
  }
  return byValue;
}();

// The description of `event`'s class.
constexpr const ClassDescription& describeClass(const ScheduleEvent& event) {
  return kClassByValue[event.flags & kClassMask];
}

}  // namespace quillmar::planprobe
