// File stamps from the file's own information, asked through a handle that reads nothing and
// shuts nobody out: its volume and index number, size, last write and last change.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "file_stamp.h"

namespace quillmar::platform {

namespace {

// How far back the last change must lie for the stamp to count as settled, in the 100 ns
// ticks of the system's file times.
constexpr int64_t kSettleTicks = 20'000'000;

// Closes the handle when the stamp has been taken.
struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() { CloseHandle(handle); }
};

}  // namespace

std::optional<FileStamp> readFileStamp(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  const HandleCloser closer{file};
  BY_HANDLE_FILE_INFORMATION information{};
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandle(file, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
    return std::nullopt;
  }
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const int64_t settledBefore =
      static_cast<int64_t>(static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) -
      kSettleTicks;
  FileStamp stamp;
  stamp.device = information.dwVolumeSerialNumber;
  stamp.file = static_cast<uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
  stamp.size = static_cast<uint64_t>(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
  stamp.modified = basic.LastWriteTime.QuadPart;
  stamp.changed = basic.ChangeTime.QuadPart;
  stamp.settled = stamp.modified < settledBefore && stamp.changed < settledBefore;
  return stamp;
}

}  // namespace quillmar::platform
