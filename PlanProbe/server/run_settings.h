// The span an open schedule is simulated over in the editor, and where it comes from.
//
// It is read from planprobe's own options: the start date and time (-d, -t), the span (the +
// options) and the site (--site). Later sources replace what earlier ones set: the options the
// server was started with, then the client's (initialization options or settings), then the
// schedule's own first-lines comment ("; planprobe: -d072402 +w2"). Without any of them the span
// is one week from today's date at 00:00.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "rules/sim_clock.h"
#include "session/command_line.h"

namespace quillmar::planprobe {

struct RunSettings {
  SimClock start;          // the start date and time, its DateKey set
  SessionOptions options;  // the span and the site; the other fields are not used
};

// One week from 00:00 of `today` (a local date).
RunSettings SettingsFrom(const std::tm& today);

// Takes the options in `words` (blank-separated, as typed on the command line) into `settings`:
// each of the start date, the start time, the span and the site that `words` gives replaces the
// one `settings` holds. On a fault `settings` is left as it was and the reason is returned.
std::optional<std::string> ApplyOptionWords(std::string_view words, RunSettings& settings);

// The options comment of a schedule: "; planprobe:" and what follows it on its line.
struct OptionsComment {
  std::string_view words;  // after the colon, to the line's end
  size_t at;               // where the comment's ';' stands in the text, in bytes
  size_t end;              // where its line ends
};

// The options comment among the first five lines of `text`, if one stands there.
std::optional<OptionsComment> FindOptionsComment(std::string_view text);

}  // namespace quillmar::planprobe
