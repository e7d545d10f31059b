// The fields of one schedule line as the parser reads them, with their places in the text.
//
// assist/ is the writing help for schedule authors, free of any editor protocol: what may be
// typed where (completion), the outline of a schedule, the mends a finding has and an event
// line's tags in words. It works on the document text and speaks in byte offsets; an editor's
// server turns those into its own positions. It reads the text with the schedule layer's own
// readers and tables, so it offers and describes exactly what the parser accepts; it may use
// schedule/, insight/ and calendar/.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "schedule/field_tags.h"
#include "schedule/parser.h"
#include "schedule/result_code.h"

namespace quillmar::planprobe {

// One field of a line: where its tag stands and how far its reader took the value.
struct FieldSpan {
  const FieldTag* tag;
  size_t tagAt;      // the tag's letter or digit
  size_t valueFrom;  // just after the colon
  size_t valueTo;    // where the reader stopped
  ResultCode result;
};

// Where the end of a reading leaves the reader.
enum class LineEnd : char {
  LineFeed,  // at the line feed that ends the line (or the end of the text)
  Between,   // between fields, where a tag or any other character may follow
  Comment,   // in a `;` comment
  Skipped,   // in the rest of a line after a field the parser refused: it is never read
  InValue,   // in the value of the last field
  InText,    // in a quoted text of the last field, a data parameter
};

// What reading one line gave.
struct LineReading {
  std::vector<FieldSpan> fields;
  size_t end;  // the line feed that ends the line, or the cut
  LineEnd state;
};

// Reads the line that begins at `start` as the parser does, but no further than `cut` (which
// counts as the end of the text). A quoted text runs over line feeds, so a line may span
// several physical lines.
LineReading ReadLine(std::string_view text, size_t start, size_t cut);

// ReadLine over the whole rest of the text.
inline LineReading ReadLine(std::string_view text, size_t start) {
  return ReadLine(text, start, text.size());
}

// The reading of the line that holds `offset`, from the start of the text up to `offset`;
// `lineStart` receives where that line begins.
LineReading ReadUpTo(std::string_view text, size_t offset, size_t& lineStart);

// The parser's text step over `text`: its event candidates and the reports of faulty lines.
ParsedSchedule ParseText(std::string_view text);

}  // namespace quillmar::planprobe
