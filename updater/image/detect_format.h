// Format auto-detection for image files, from the look of their lines.
#pragma once

#include <iosfwd>
#include <string>

namespace quillmar::image {

// Reads `in` line by line until one line decides: any byte above 0x7F gives RawBinary, a
// record-like ':' line IntelHex, a record-like 'S' line MotorolaSRecord. Returns that format
// code, or -1 when no line decides.
int detectStreamFormat(std::istream& in);

// Opens `fileName` itself (so standard input can't be detected) and runs detectStreamFormat.
// Returns -1 after "error opening ..." on `diag` when the file can't be opened.
int detectFormat(const std::string& fileName, std::ostream& diag);

// The format code for a file the user names, for fileio's `op`: RawBinary for a name ending in
// ".bin" (any case); otherwise AutoDetect for an input and IntelHex for an output, which has
// no lines yet to detect from.
int formatForFileName(const std::string& fileName, int op);

}  // namespace quillmar::image
