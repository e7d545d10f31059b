// Where the programs keep what outlives a run for this user (an updater's kept firmware and
// its history): the program's folder in the user's data folder, as the system's conventions
// place it. Finding it creates nothing; makeFolders makes it when there is something to write.
#pragma once

#include <optional>
#include <string>

namespace quillmar::platform {

// The program's folder in the user's data folder, as a narrow name (file_name.h). POSIX:
// $XDG_DATA_HOME/quillmar when that is an absolute path, else $HOME/.local/share/quillmar, with
// the password database's home when HOME is unset or empty. Windows: %LOCALAPPDATA%\QUILLmar
// when the variable is set and not empty, else the system's local application data folder and
// \QUILLmar. When the system names no such home at all, the same folder in the current one.
std::string userDataFolder();

// Creates `folder` and whichever of its parents are missing; an existing folder is no error.
// Nothing on success, else the system's error text (error_text.h).
std::optional<std::string> makeFolders(const std::string& folder);

}  // namespace quillmar::platform
