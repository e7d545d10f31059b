// The program's file as the loader names it.
#include <windows.h>

#include <string>

#include "program_folder.h"

namespace quillmar::platform {

std::string programFolder() {
  // Up to MAX_PATH UTF-16 units, each of which takes at most three bytes in UTF-8.
  char path[3 * MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length == sizeof path)
    return ".";
  const std::string program(path, length);
  const size_t cut = program.find_last_of('\\');
  return cut == std::string::npos ? "." : program.substr(0, cut);
}

}  // namespace quillmar::platform
