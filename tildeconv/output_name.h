// Where the converted page goes: beside the source, under a name derived from the argument.
#pragma once

#include <string>

namespace quillmar::tildeconv {

// Strips the trailing runs of 'l', then 'm', then 't', then 'h' (lower case only, each run
// once, in that order) and appends "syn": index.htm and index.html both give index.syn. Any
// directory part is kept as it is.
std::string outputFileName(const std::string& sourceName);

}  // namespace quillmar::tildeconv
