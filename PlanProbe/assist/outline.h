// The outline of a schedule: its sections, as its comment headings divide it, and in each the
// valid event lines, named by what they do and when.
//
// A heading is a line that holds only a comment (blanks and tabs may stand before the ';')
// whose text, without the blanks around it, begins with a run of three or more of one of '-',
// '=' or '*', ends with a run of three or more of the same character, and has a name between
// them: "; --- Every day -----". Event lines before the first heading form a section without a
// name. Faulty lines are left out: the findings show them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar::planprobe {

// One valid event line.
struct OutlineSymbol {
  std::string
      name;  // the event and when it runs: "ON 1 · 06:30", "SENDSTRING \"PING\" · every hour"
  std::string detail;  // the rest of its timing: "every day", "from 09:00"
  size_t start;        // the line, up to its line feed
  size_t end;
  size_t nameStart;  // its "E:" field; the line where it has none
  size_t nameEnd;
  uint32_t line;  // the physical line it begins on, 1-based
};

// One section: a heading and the event lines up to the next one.
struct OutlineSection {
  std::string name;  // empty for the lines before the first heading
  size_t start;      // from the heading (the first event line without one) ...
  size_t end;        // ... to the end of its last line
  uint32_t line;     // the physical line it begins on, 1-based
  std::vector<OutlineSymbol> events;
};

// The sections of `text` in their order; the unnamed one only when it holds event lines.
std::vector<OutlineSection> OutlineOf(std::string_view text);

// The name of the heading on the line `line` (without its line end); empty when it is none.
std::string HeadingName(std::string_view line);

}  // namespace quillmar::planprobe
