// printf-style formatting for the whole program: the small subset the results log uses without
// the cost of the C library's general formatter on the log's hot path, and the library for the
// rest. The log and the console both format through appendPrintf.
#pragma once

#include <cstdarg>
#include <string>

namespace quillmar::planprobe {

// Appends `format` with its arguments to `out`. Handles literal text, %% and the conversions
// d and i (int; optional '0' flag and width) and s (text; optional ".*" precision), with the
// exact output of printf. Returns false, with `out` as it was, for anything else.
bool appendFormatted(std::string& out, const char* format, va_list args);

// Appends `format` with its arguments to `out`, as printf writes it: through appendFormatted
// where it can, else through the C library.
void appendPrintf(std::string& out, const char* format, va_list args);

}  // namespace quillmar::planprobe
