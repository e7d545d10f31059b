// Positions in a text: lines as the protocol counts them and columns in UTF-16 code units,
// UTF-8 code units (bytes), or the bytes themselves. This is the one conversion between them;
// everything that reports or reads a column goes through it.
//
// Lines end at "\n", "\r\n" or a lone "\r". A column counts the characters before it in the
// chosen encoding: a four-byte UTF-8 sequence is two UTF-16 code units, any other one, and any
// byte that starts no valid sequence, is one. A column that falls inside a character means the
// character's start; one beyond the line's end means the end; a line beyond the last means the
// end of the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace quillmar::lsp {

// The code units a Position's character counts.
enum class PositionEncoding { Utf16, Utf8 };

// The encoding's protocol name ("utf-16", "utf-8").
std::string_view encodingName(PositionEncoding encoding);
// UTF-8 when the client's capabilities list it in general.positionEncodings, else UTF-16 (which
// every client speaks).
PositionEncoding chooseEncoding(const nlohmann::json& clientCapabilities);

// A place in a text: 0-based line and column.
struct Position {
  uint32_t line = 0;
  uint32_t character = 0;

  friend bool operator==(const Position&, const Position&) = default;
};

// The column of byte offset `bytes` of `lineText` (a line without its end).
uint32_t columnOf(std::string_view lineText, std::size_t bytes, PositionEncoding encoding);
// The byte offset of column `character` of `lineText`: the inverse of columnOf.
std::size_t bytesOf(std::string_view lineText, uint32_t character, PositionEncoding encoding);

// Where the lines of a text begin, to turn positions into byte offsets and back. It views the
// text, which must outlive it and stay unchanged.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);

  // The byte offset of `position`, clamped as above.
  std::size_t offsetAt(Position position, PositionEncoding encoding) const;
  // The position of byte `offset`; an offset inside a line end means that line's end, one beyond
  // the text its end.
  Position positionAt(std::size_t offset, PositionEncoding encoding) const;
  // The number of lines: one more than line ends, so an empty text has one.
  std::size_t lineCount() const { return starts_.size(); }
  // Line `line` without its end; empty beyond the last line.
  std::string_view lineText(uint32_t line) const;

 private:
  std::string_view text_;
  std::vector<std::size_t> starts_;  // the byte offset where each line begins
};

}  // namespace quillmar::lsp
