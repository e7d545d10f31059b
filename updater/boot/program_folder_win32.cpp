#include <windows.h>

#include <string>

#include "boot/program_folder.h"

namespace quillmar::boot {

std::string programFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH)
    return ".";
  const std::string program(path, length);
  const size_t cut = program.find_last_of('\\');
  return cut == std::string::npos ? "." : program.substr(0, cut);
}

}  // namespace quillmar::boot
