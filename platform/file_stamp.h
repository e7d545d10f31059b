// What the file system tells about a file without reading it: enough to see that a schedule
// read before is still the same file with the same bytes, so that a daily reload need not read
// it again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillmar::platform {

struct FileStamp {
  uint64_t device = 0;
  uint64_t file = 0;  // the file's number on its device; 0 where the system has none
  uint64_t size = 0;
  int64_t modified = 0;  // last write, in the system's own time unit
  int64_t changed = 0;   // last change of content or attributes
  // True when the stamp was taken long enough after the file's last change that any later
  // change must show in the times: a file system keeps them only to a coarse tick.
  bool settled = false;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at `path`, taken now; nothing when there is no such file.
std::optional<FileStamp> readFileStamp(const std::string& path);

}  // namespace quillmar::platform
