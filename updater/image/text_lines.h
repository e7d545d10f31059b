// Line reading shared by the text image readers.
#pragma once

#include <iosfwd>
#include <string>

namespace quillmar::image {

// Reads the next physical line of any length into `line`, without its LF or CR LF ending.
// Returns false at the end of the stream (check the stream's bad() for a read error).
bool readTextLine(std::istream& in, std::string& line);

}  // namespace quillmar::image
