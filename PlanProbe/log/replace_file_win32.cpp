// Whole-file replacement on Windows: a new temporary file in the same folder, flushed, then
// moved over the target with MoveFileExA (replace, write-through) in one step.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <random>

#include "log/replace_file.h"

namespace quillmar::planprobe {

namespace {

// The system's description of `code`, without its trailing line end.
std::string describe(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description =
      length > 0 ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r')) {
    description.pop_back();
  }
  return description;
}

// Creates a new, uniquely named file in `folder` for writing; `name` receives its path.
HANDLE createTemporary(const std::string& folder, std::string& name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + ".planprobe-" + std::to_string(random()) + ".tmp";
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
      return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}

// Writes all of `content` to `file`; false on an error.
bool writeAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    const DWORD part =
        content.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(content.size());
    DWORD count = 0;
    if (!WriteFile(file, content.data(), part, &count, nullptr)) {
      return false;
    }
    content.remove_prefix(count);
  }
  return true;
}

}  // namespace

std::string ReplaceFileContent(const std::string& path, std::string_view content) {
  const size_t separator = path.find_last_of("\\/");
  const std::string folder =
      separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
  std::string name;
  const HANDLE file = createTemporary(folder, name);
  if (file == INVALID_HANDLE_VALUE) {
    return describe(GetLastError());
  }
  bool ok = writeAll(file, content) && FlushFileBuffers(file);
  DWORD reason = GetLastError();
  ok = CloseHandle(file) && ok;
  if (ok &&
      MoveFileExA(name.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return {};
  }
  reason = ok ? GetLastError() : reason;
  DeleteFileA(name.c_str());
  return describe(reason);
}

}  // namespace quillmar::planprobe
