// The system's own words for a failed call, as the programs pass them on to their users: the
// text of an errno value on POSIX systems, of a GetLastError() code on Windows.
#pragma once

#include <string>

namespace quillmar::platform {

// The system's description of the error `code`, without its trailing line end.
std::string systemErrorText(unsigned long code);

// `text` without its closing full stop (and any line end or space after it), for a sentence
// of the caller's own; POSIX texts have none, Windows texts end in one.
std::string withoutFullStop(std::string text);

}  // namespace quillmar::platform
