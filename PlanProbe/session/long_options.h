// The "--" options of the planprobe command line, which no specified option uses.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <span>

#include "session/command_line.h"

namespace quillmar::planprobe {

// Reads the "--" argument at `args[at]`, and its value from the next argument when the option
// takes one and no "=" gives it (advancing `at` past it). Returns the exit status when the
// program is to end (after --help, --version or a bad value); nothing otherwise. A word that
// names no option is reported as every unknown argument is.
std::optional<int> ReadLongOption(std::span<const char* const> args, std::size_t& at,
                                  SessionOptions& options, std::ostream& console);

// Writes every option, specified and new, one a line, to `console`.
void PrintHelp(std::ostream& console);

}  // namespace quillmar::planprobe
