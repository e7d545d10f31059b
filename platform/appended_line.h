// Lines appended to a shared record file (JSON Lines, one record per line) by several threads
// and processes at once: each line goes in whole, after the ones before it, and none is lost.
// The appenders take turns through the system's exclusive file lock, each writing at the end
// of the file as it is then; readers need no lock and see whole lines plus, at most, the start
// of the one being written.
#pragma once

#include <optional>
#include <string>

namespace quillmar::platform {

// Appends `line` and "\n" (on every system: the program reads the file back itself) to the
// file `path`, creating it when it is missing. Nothing on success, else what failed and the
// system's error text, as "cannot open: <text>" (or lock, write); the caller names the file.
// A write that fails part way (a full disk) may leave the start of the line in the file.
std::optional<std::string> appendLine(const std::string& path, const std::string& line);

}  // namespace quillmar::platform
