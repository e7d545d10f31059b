// File stamps from the file's attributes. Windows keeps no change time and gives no file
// number by name, so the creation time stands in: a file replaced by another gets a new one.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "file_stamp.h"

namespace quillmar::planprobe {

namespace {

// How far back the last change must lie for the stamp to count as settled.
constexpr int64_t kSettleHundredNanoseconds = 20'000'000;

int64_t ticks(const FILETIME& time) {
  return static_cast<int64_t>(static_cast<uint64_t>(time.dwHighDateTime) << 32 |
                              time.dwLowDateTime);
}

}  // namespace

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  FileStamp stamp;
  stamp.size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  stamp.modified = ticks(data.ftLastWriteTime) * 100;
  stamp.changed = ticks(data.ftCreationTime) * 100;
  const int64_t settledBefore = ticks(now) - kSettleHundredNanoseconds;
  stamp.settled =
      ticks(data.ftLastWriteTime) < settledBefore && ticks(data.ftCreationTime) < settledBefore;
  return stamp;
}

}  // namespace quillmar::planprobe
