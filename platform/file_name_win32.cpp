// Windows paths are UTF-16; narrow names convert through the ANSI code page, as the system's
// own narrow file calls do, so both always agree on what a name means.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "file_name.h"

namespace quillmar::platform {

std::filesystem::path pathFromName(const std::string& name) {
  const int size = static_cast<int>(name.size());
  std::wstring wide(
      static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0)),
      L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

std::string nameFromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  const int size = static_cast<int>(wide.size());
  std::string name(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), size,
                                                                nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, name.data(), static_cast<int>(name.size()),
                      nullptr, nullptr);
  return name;
}

}  // namespace quillmar::platform
