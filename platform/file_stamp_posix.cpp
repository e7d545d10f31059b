// File stamps from stat(2).
#include <sys/stat.h>

#include <ctime>

#include "file_stamp.h"

namespace quillmar::platform {

namespace {

// How far back the last change must lie for the stamp to count as settled.
constexpr int64_t kSettleNanoseconds = 2'000'000'000;

int64_t nanoseconds(const timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

std::optional<FileStamp> readFileStamp(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  FileStamp stamp;
  stamp.device = static_cast<uint64_t>(status.st_dev);
  stamp.file = static_cast<uint64_t>(status.st_ino);
  stamp.size = static_cast<uint64_t>(status.st_size);
  stamp.modified = nanoseconds(status.st_mtim);
  stamp.changed = nanoseconds(status.st_ctim);
  const int64_t settledBefore = nanoseconds(now) - kSettleNanoseconds;
  stamp.settled = stamp.modified < settledBefore && stamp.changed < settledBefore;
  return stamp;
}

}  // namespace quillmar::platform
