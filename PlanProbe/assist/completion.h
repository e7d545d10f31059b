// Completion: what may be typed where in a schedule text, from the schedule layer's own tables,
// so that every word offered is one the parser accepts at that place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmar::planprobe {

// Which vocabulary an offered word comes from.
enum class CompletionKind : char { Tag, EventKeyword, Period, Set, TimeWord };

// One word that may be typed at the cursor.
struct CompletionItem {
  std::string label;
  CompletionKind kind;
  std::string detail;      // what it means, in words
  std::string insertText;  // what replaces the text from `replaceFrom` to the cursor
  size_t replaceFrom;      // where the word being typed begins, in bytes
};

// The words that may be typed at byte `offset` of `text`, those that begin with the part already
// typed (in either case):
// - a field's tag where a field may begin: at the start of a line or after a blank or tab
//   between fields; in a data parameter list, after a blank or comma, only the data parameters'
//   tags, since nothing else is read there;
// - in the value of "E:" the event keywords, of "P:" the periods, of "S:" the sets, of "T:"
//   and "I:" the time words that field takes.
// Nothing in a comment, in a quoted text, or in the rest of a line after a field the parser
// refuses (the parser skips it).
std::vector<CompletionItem> CompletionsAt(std::string_view text, size_t offset);

}  // namespace quillmar::planprobe
