// The local (not roaming) application data folder: kept firmware is large and belongs to
// this machine.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>

#include "data_folder.h"
#include "file_name.h"

namespace quillmar::platform {
namespace {

// The local application data folder: the variable's when set, else the system's own.
std::filesystem::path localAppData() {
  wchar_t value[32768];  // the longest value a variable holds
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value, std::size(value));
  if (length > 0 && length < std::size(value)) {
    return std::wstring(value, length);
  }
  wchar_t* known = nullptr;
  std::filesystem::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known))) {
    folder = known;
  }
  CoTaskMemFree(known);
  return folder;
}

}  // namespace

std::string userDataFolder() {
  return nameFromPath(localAppData() / L"QUILLmar");
}

}  // namespace quillmar::platform
