// The tags of a schedule line's fields ("D:", "T:", ... "4:"): the letter or digit before the
// colon, what the field holds and what it is called. One table, read by the parser's test of a
// tag and by anything that tells a schedule's author about the fields.
#pragma once

#include <string_view>

#include "schedule/code_table.h"

namespace quillmar::planprobe {

// What a field's value is, which decides the reader that takes it.
enum class FieldValue : char {
  StartDate,
  EndDate,
  StartTime,
  EndTime,
  Period,
  Set,
  Repeat,
  Event,
  Param,  // a data parameter list; the tag's digit says which
};

// One tag: its upper-case letter (a tag is read in either case) and what the field is.
struct FieldTag {
  char letter;
  FieldValue value;
  std::string_view name;  // in words, as an author reads it
};

// Every tag the parser accepts, in the order a schedule line usually has them.
inline constexpr FieldTag kFieldTags[] = {
    {'D', FieldValue::StartDate, "start date"},   {'T', FieldValue::StartTime, "start time"},
    {'P', FieldValue::Period, "repeat period"},   {'R', FieldValue::Repeat, "repeat count"},
    {'S', FieldValue::Set, "repeat set"},         {'A', FieldValue::EndDate, "end date"},
    {'I', FieldValue::EndTime, "end time"},       {'E', FieldValue::Event, "event"},
    {'1', FieldValue::Param, "data parameter 1"}, {'2', FieldValue::Param, "data parameter 2"},
    {'3', FieldValue::Param, "data parameter 3"}, {'4', FieldValue::Param, "data parameter 4"},
};

static_assert(keysDiffer(kFieldTags, [](const FieldTag& t) { return t.letter; }));

// The tag whose letter is `letter` in either case; null when the character is no tag.
constexpr const FieldTag* findFieldTag(int letter) {
  const int upper = letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter;
  for (const FieldTag& tag : kFieldTags) {
    if (tag.letter == upper) {
      return &tag;
    }
  }
  return nullptr;
}

}  // namespace quillmar::planprobe
