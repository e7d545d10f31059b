// What an image file is, from its name and the look of its lines: format auto-detection, the
// format a name gives, and what shows that a file meant to be Intel HEX is not.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace quillmar::image {

// Reads `in` line by line until one line decides: any byte above 0x7F gives RawBinary, a
// record-like ':' line IntelHex, a record-like 'S' line MotorolaSRecord. Returns that format
// code, or -1 when no line decides. A byte-order mark is skipped and UTF-16 read as the text it
// holds; a file with a mark is text, never RawBinary.
int detectStreamFormat(std::istream& in);

// Opens `fileName` itself (so standard input can't be detected) and runs detectStreamFormat.
// Returns -1 after "error opening ..." on `diag` when the file can't be opened.
int detectFormat(const std::string& fileName, std::ostream& diag);

// A line of a file that shows it is not an Intel HEX file.
struct ForeignLine {
  int number = 0;       // counted from 1
  std::string text;     // as read, without its line end
  bool binary = false;  // the file holds binary data (at this line or a later one)
};

// For a file that must be Intel HEX: its first line that is not blank, when no record (a line
// starting with ':') comes before the end of the file or before a line of binary data. Nothing
// when a record comes first (the loader judges it) or when the file holds only blank lines. A
// byte-order mark is skipped and UTF-16 read as text, as the loader does.
std::optional<ForeignLine> firstForeignLine(std::istream& in);

// The format code for a file the user names, for fileio's `op`: RawBinary for a name ending in
// ".bin" and IntelHex for one ending in ".hex" (any case); otherwise AutoDetect for an input and
// IntelHex for an output, which has no lines yet to detect from.
int formatForFileName(const std::string& fileName, int op);

}  // namespace quillmar::image
