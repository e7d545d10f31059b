// Appends through a handle with append access only, so each write lands at the end of the file
// as it is then, while holding an exclusive lock that the appenders take in turn.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <limits>

#include "appended_line.h"
#include "error_text.h"
#include "wide_text_win32.h"

namespace quillmar::platform {
namespace {

// What failed, with the text of GetLastError().
std::string failed(const char* what) {
  return std::string(what) + ": " + systemErrorText(GetLastError());
}

// Writes all of `text` to `file`; false on an error.
bool writeAll(HANDLE file, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const DWORD chunk = static_cast<DWORD>(
        std::min<std::size_t>(text.size() - written, std::numeric_limits<DWORD>::max()));
    DWORD count = 0;
    if (!WriteFile(file, text.data() + written, chunk, &count, nullptr)) {
      return false;
    }
    written += count;
  }
  return true;
}

// The lock the appenders take turns on: one byte far beyond any end of file. Windows locks
// are mandatory, so a lock over the content would fail a reader's read meanwhile.
OVERLAPPED turnByte() {
  OVERLAPPED where{};
  where.OffsetHigh = 0x7fffffff;
  return where;
}

}  // namespace

std::optional<std::string> appendLine(const std::string& path, const std::string& line) {
  // Read access too, without which the system refuses the lock.
  const HANDLE file = CreateFileW(wideFromNarrow(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return failed("cannot open");
  }
  std::optional<std::string> failure;
  OVERLAPPED turn = turnByte();
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn)) {
    failure = failed("cannot lock");
  } else {
    if (!writeAll(file, line + '\n')) {
      failure = failed("cannot write");
    }
    UnlockFileEx(file, 0, 1, 0, &turn);
  }
  CloseHandle(file);
  return failure;
}

}  // namespace quillmar::platform
