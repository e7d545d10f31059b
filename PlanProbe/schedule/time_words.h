// The words a time field ("T:", "I:") takes instead of digits: the times the clock decides when
// the event is loaded. One table, read by the time field's reader and by anything that offers
// the words to a schedule's author.
#pragma once

#include <string_view>

#include "schedule/code_table.h"

namespace quillmar::planprobe {

// One time word: any word that begins with `prefix` names it.
struct TimeWord {
  std::string_view prefix;
  std::string_view word;  // the whole word, as an author writes it
  char sun;               // 'R' sunrise, 'S' sunset, 0 for the boot time
  bool startOnly;         // only the start time ("T:") takes it
  std::string_view name;  // in words
};

inline constexpr TimeWord kTimeWords[] = {
    {"SUNR", "SUNRISE", 'R', false, "sunrise"},
    {"SUNS", "SUNSET", 'S', false, "sunset"},
    {"BOO", "BOOT", 0, true, "boot"},
};

// True when every whole word begins with its prefix, so that the word itself is read as it.
constexpr bool timeWordsAreWhole() {
  for (const TimeWord& w : kTimeWords) {
    if (!w.word.starts_with(w.prefix)) {
      return false;
    }
  }
  return true;
}
static_assert(timeWordsAreWhole());
static_assert(keysDiffer(kTimeWords, [](const TimeWord& w) { return w.prefix; }));

// The time word that `text` (upper case) names in a field that is (`start`) or is not the start
// time; null when it names none there.
constexpr const TimeWord* findTimeWord(std::string_view text, bool start) {
  for (const TimeWord& w : kTimeWords) {
    if ((start || !w.startOnly) && text.starts_with(w.prefix)) {
      return &w;
    }
  }
  return nullptr;
}

// True when a time word that a field of that edge takes begins with the upper-case `letter`:
// the field's value is then read as a word, not as digits.
constexpr bool beginsTimeWord(int letter, bool start) {
  for (const TimeWord& w : kTimeWords) {
    if ((start || !w.startOnly) && w.prefix.front() == letter) {
      return true;
    }
  }
  return false;
}

}  // namespace quillmar::planprobe
