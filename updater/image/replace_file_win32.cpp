// Whole-file replacement on Windows: a temporary file in the same folder, flushed, then moved
// over the target with MoveFileExA (replace, write-through), which the file system does as one
// step. Paths are in the ANSI code page, like the rest of the program's file names (UTF-8 by
// the programs' manifests).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <random>

#include "image/replace_file.h"

namespace quillmar::image {
namespace {

// The system's description of `code`, without its trailing line end and full stop: callers
// end their sentences themselves, as after the POSIX texts.
std::string describe(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description =
      length > 0 ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!description.empty() &&
         std::string_view("\r\n. ").find(description.back()) != std::string_view::npos) {
    description.pop_back();
  }
  return description;
}

// The folder that holds `path`, with its trailing separator ("" for the current folder).
std::string folderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Creates a new, uniquely named file in `folder` for writing, shared with nobody.
HANDLE createTemporary(const std::string& folder, std::string& name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + ".image-" + std::to_string(random()) + ".tmp";
    const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
      return file;
    }
  }
  return INVALID_HANDLE_VALUE;
}

// Writes all of `contents`, counting in `written` what reached the file; false on an error.
bool writeAll(HANDLE file, std::string_view contents, std::size_t& written) {
  while (written < contents.size()) {
    const std::size_t left = contents.size() - written;
    const DWORD part = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD count = 0;
    if (!WriteFile(file, contents.data() + written, part, &count, nullptr)) {
      return false;
    }
    written += count;
  }
  return true;
}

}  // namespace

std::optional<ReplaceFailure> replaceFile(const std::string& path, std::string_view contents) {
  std::string temporary;
  const HANDLE file = createTemporary(folderOf(path), temporary);
  if (file == INVALID_HANDLE_VALUE) {
    return ReplaceFailure{ReplaceFailure::Step::Create, 0, describe(GetLastError())};
  }
  std::size_t written = 0;
  bool ok = writeAll(file, contents, written) && FlushFileBuffers(file);
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  if (!CloseHandle(file) && ok) {
    ok = false;
    error = GetLastError();
  }
  ReplaceFailure::Step step = ReplaceFailure::Step::Write;
  if (ok && !MoveFileExA(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    error = GetLastError();
    step = ReplaceFailure::Step::Rename;
  }
  if (!ok) {
    DeleteFileA(temporary.c_str());
    return ReplaceFailure{step, written, describe(error)};
  }
  return std::nullopt;
}

std::optional<std::string> replaceBlocker(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::string("Is a directory");
  }
  // MoveFileExA refuses to replace a read-only file.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return describe(ERROR_ACCESS_DENIED);
  }
  std::string temporary;
  const HANDLE file = createTemporary(folderOf(path), temporary);
  if (file == INVALID_HANDLE_VALUE) {
    return describe(GetLastError());
  }
  CloseHandle(file);
  DeleteFileA(temporary.c_str());
  return std::nullopt;
}

}  // namespace quillmar::image
