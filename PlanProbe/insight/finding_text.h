// Plain-language findings of the syntax analysis, for editors, CI annotations and people.
//
// insight/ tells the user what a run did: the diagnostics, the run summary and the timeline
// page. It watches the run through the rules' minute observer and reads the schedule layer's
// findings; it writes through the log layer. Only the session uses it.
#pragma once

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

FindingText DescribeFinding(ResultCode code);

// The line of `text` that begins at byte `start`, without its line end; empty beyond the end.
std::string_view LineAt(std::string_view text, size_t start);

// Writes each finding as "FILE:LINE: error: NAME: explanation" ("warning:" for the end-date
// warning), followed by the line's text indented by two blanks.
void WriteDiagnostics(std::ostream& out, const std::string& file,
                      const std::vector<Finding>& findings, std::string_view sourceText);

}  // namespace quillmar::planprobe
