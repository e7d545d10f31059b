// Quick fixes: the mend of a finding, offered only where what the author meant is certain.
//
// A mend replaces the faulty field's value (never anything outside it) and is offered only when
// the field's own reader accepts the mended value whole. The mends:
// - a time written with one minute digit, with '.', '-' or ',' between hour and minute, or as
//   four digits, is written hh:mm ("12:5" -> "12:05", "12.30" -> "12:30", "0630" -> "06:30");
// - blanks after a field's colon are removed ("T: 12:30" -> "T:12:30");
// - a date whose three numbers stand apart by blanks or commas is written with dots
//   ("D:01 03 02" -> "D:01.03.02").
// Nothing that would guess a number or a word: no hour 24, no day 31 of April, no unknown
// keyword.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "schedule/parser.h"

namespace quillmar::planprobe {

// One replacement of the text from `from` to `to`, in bytes.
struct TextMend {
  std::string title;  // what it does, for the editor's menu
  size_t from;
  size_t to;
  std::string replacement;
};

// The mend of `finding` of the text step over `text`; none where it would be a guess.
std::optional<TextMend> MendFor(std::string_view text, const Finding& finding);

}  // namespace quillmar::planprobe
