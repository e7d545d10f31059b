// Whole-file replacement on Windows: a temporary file in the target's folder, flushed, then
// moved over the target with MoveFileExA (replace, write-through), which the file system does
// as one step and which leaves the folder's entry on the disk too. Paths are in the ANSI code
// page, like the rest of the programs' file names (UTF-8 by the programs' manifests).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <random>
#include <string_view>

#include "error_text.h"
#include "replace_file.h"

namespace quillmar::platform {
namespace {

// `name` without the "\\?\" prefix of the system's final paths, as the other calls take it.
std::string withoutLongPrefix(std::string_view name) {
  constexpr std::string_view kUnc = "\\\\?\\UNC\\";
  constexpr std::string_view kLong = "\\\\?\\";
  if (name.starts_with(kUnc)) {
    return "\\\\" + std::string(name.substr(kUnc.size()));
  }
  return std::string(name.starts_with(kLong) ? name.substr(kLong.size()) : name);
}

// The file a save replaces: for a symbolic link, the file it leads to, as writing through the
// link would; any other path, and a link that leads nowhere, as it is.
std::string resolvedTarget(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return path;
  }
  const HANDLE file =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return path;
  }
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  std::string target(GetFinalPathNameByHandleA(file, nullptr, 0, kFlags), '\0');
  const DWORD length =
      GetFinalPathNameByHandleA(file, target.data(), static_cast<DWORD>(target.size()), kFlags);
  CloseHandle(file);
  if (length == 0 || length >= target.size()) {
    return path;
  }
  target.resize(length);
  return withoutLongPrefix(target);
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
    name = folder + ".replacing-" + std::to_string(random()) + ".tmp";
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

std::optional<ReplaceFailure> replaceFile(const std::string& requested, std::string_view contents) {
  const std::string path = resolvedTarget(requested);
  std::string temporary;
  const HANDLE file = createTemporary(folderOf(path), temporary);
  if (file == INVALID_HANDLE_VALUE) {
    return ReplaceFailure{ReplaceFailure::Step::Create, 0, systemErrorText(GetLastError())};
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
    return ReplaceFailure{step, written, systemErrorText(error)};
  }
  return std::nullopt;
}

std::optional<std::string> replaceBlocker(const std::string& requested) {
  const std::string path = resolvedTarget(requested);
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::string("Is a directory");
  }
  // MoveFileExA refuses to replace a read-only file.
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return systemErrorText(ERROR_ACCESS_DENIED);
  }
  std::string temporary;
  const HANDLE file = createTemporary(folderOf(path), temporary);
  if (file == INVALID_HANDLE_VALUE) {
    return systemErrorText(GetLastError());
  }
  CloseHandle(file);
  DeleteFileA(temporary.c_str());
  return std::nullopt;
}

}  // namespace quillmar::platform
