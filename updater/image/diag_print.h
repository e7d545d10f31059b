// printf-style text for the updater: its diagnostics onto a C++ stream and its messages as
// strings, so every text keeps its exact wording and layout in one format string.
#pragma once

#include <iosfwd>
#include <string>

namespace quillmar::image {

// Formats like printf and returns the result.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Formats like printf and writes the result to `out`.
void printTo(std::ostream& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace quillmar::image
