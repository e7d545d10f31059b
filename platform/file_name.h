// platform/: what the three programs alike need of the system, kept out of their own code.
// Every name the programs hold is a narrow string in the system's narrow encoding: the bytes as
// given on POSIX; on Windows the ANSI code page, which each program's manifest sets to UTF-8
// (utf8_code_page.manifest), so every name a user can type reaches the narrow file calls intact.
// MinGW's filesystem paths read narrow strings otherwise, so names cross into and out of them
// only here; console_text.h shows the programs' texts on a Windows console. Windows code lives
// in *_win32.cpp, the rest in *_posix.cpp; the folder uses only the standard library and the
// system.
#pragma once

#include <filesystem>
#include <string>

namespace quillmar::platform {

// The path of the file or folder named `name` in the system's narrow encoding.
std::filesystem::path pathFromName(const std::string& name);

// The name of `path` in the system's narrow encoding, as the narrow file calls take it.
std::string nameFromPath(const std::filesystem::path& path);

}  // namespace quillmar::platform
