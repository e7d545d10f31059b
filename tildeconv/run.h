// One tildeconv run: argument, files, block-by-block conversion and the console report.
#pragma once

#include <cstddef>
#include <ostream>

namespace quillmar::tildeconv {

// The size of the blocks the source is read in.
inline constexpr size_t kBlockSize = 65536;

// Converts the page named by argv[1] into its output file beside it, writing the console
// texts to `console`. Returns the exit status: 0 after a finished conversion, 1 after the
// usage text or any failure (a failed run leaves no output file behind).
int runTildeconv(int argc, const char* const argv[], std::ostream& console);

}  // namespace quillmar::tildeconv
