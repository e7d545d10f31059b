// printf-style output to a console stream.
#pragma once

#include <iosfwd>

namespace quillmar::planprobe {

// Writes the formatted text to `out`.
void consolePrint(std::ostream& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace quillmar::planprobe
