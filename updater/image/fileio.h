// Memory image files: moves a flash image between a file and a caller's buffer.
// Diagnostics go to the stream given as `diag` (standard error in the programs), never to
// the user interface; callers see only the result.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace quillmar::image {

enum FileOp : int { Input = 0, Output = 1 };
enum ImageFormat : int { AutoDetect = 0, MotorolaSRecord = 1, IntelHex = 2, RawBinary = 3 };

// What a load found besides the image's size.
struct LoadDetails {
  // The Intel HEX end-of-file record was reached; a file cut short lacks it. A raw binary
  // image has no such record and counts as ended.
  bool endRecord = false;
};

// Input: loads `fileName` into buffer[0..size) (size = capacity; filled with 0xFF first) and
// returns the image size; fills `details` when given. Output: saves buffer[0..size) and
// returns the bytes written; the file is replaced whole, so a failed save leaves any old file
// as it was, and an Intel HEX file gets the platform's line ends (CR LF on Windows). A text
// image may start with a byte-order mark and may be UTF-16. "-" names standard input or output.
// Returns -1 on any failure, after a line on `diag`.
int fileio(int op, const std::string& fileName, int format, uint8_t* buffer, int size,
           std::ostream& diag, LoadDetails* details = nullptr);

// The display name of a format code ("Intel Hex", ..., "invalid format").
const char* formatName(int format);

}  // namespace quillmar::image
