// Plain-language findings of the syntax analysis, for editors, CI annotations and people.
//
// insight/ tells the user what a run did: the diagnostics, the run summary, the timeline
// page and the commands that differ from an old schedule's run. It watches the run through the
// rules' minute observer and reads the schedule layer's findings; it writes through the log
// layer. Only the session uses it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/parser.h"
#include "schedule/result_code.h"

namespace quillmar::planprobe {

// What a finding's code is called and what it means, in one plain sentence.
struct FindingText {
  std::string name;  // the result code's name, as in the log's message
  std::string_view explanation;
  bool warning;  // the end-date warning; every other finding counts as an error
};

// The name and explanation of the code's row in kResultCodes; a code without one is named by
// its range and number.
FindingText DescribeFinding(ResultCode code);

// A place in a schedule text as an editor counts it: every line feed ends a line, also one
// inside a quoted text (which the log's own numbering does not count).
struct SourcePlace {
  uint32_t line;          // 1-based
  uint32_t column;        // 1-based, in bytes
  std::string_view text;  // the whole line, without its line end (LF or CR LF)
};

// The physical lines of one schedule text, indexed once so that each look-up is cheap.
class PhysicalLines {
 public:
  explicit PhysicalLines(std::string_view text);
  // The place of byte `offset` (the end of the text for an offset beyond it).
  SourcePlace placeOf(size_t offset) const;

 private:
  std::string_view text_;
  std::vector<size_t> starts_;  // where each line begins
};

// For each line number the log gives a parsed line, the physical line where that line begins;
// indexed by the log's number, 0 where the log numbers no parsed line.
std::vector<uint32_t> PhysicalLineNumbers(const ParsedSchedule& parsed, std::string_view text);

// Writes each finding as "FILE:LINE:COL: error: NAME: explanation" ("warning:" for the end-date
// warning), LINE:COL being where the tag of the field to blame stands (where the line begins
// when no field is), followed by that line's text indented by two blanks and a caret under
// the column.
void WriteDiagnostics(std::ostream& out, const std::string& file,
                      const std::vector<Finding>& findings, std::string_view sourceText);

}  // namespace quillmar::planprobe
