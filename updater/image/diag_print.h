// printf-style output onto a C++ stream, so every diagnostic keeps its exact text and layout
// in one format string.
#pragma once

#include <iosfwd>

namespace quillmar::image {

// Formats like printf and writes the result to `out`.
void printTo(std::ostream& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace quillmar::image
