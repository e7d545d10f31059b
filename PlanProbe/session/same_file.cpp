#include "session/same_file.h"

#include <filesystem>
#include <system_error>

#include "platform/file_name.h"

namespace quillmar::planprobe {

namespace fs = std::filesystem;

bool IsSameFile(const std::string& a, const std::string& b) {
  // The library compares device and file number (file index on Windows) of existing files.
  const fs::path pathA = platform::pathFromName(a);
  const fs::path pathB = platform::pathFromName(b);
  std::error_code error;
  if (fs::equivalent(pathA, pathB, error)) {
    return true;
  }
  if (!error) {
    return false;  // at least one of them exists, and they differ
  }
  const fs::path first = fs::weakly_canonical(fs::absolute(pathA, error), error);
  if (error) {
    return false;
  }
  const fs::path second = fs::weakly_canonical(fs::absolute(pathB, error), error);
  return !error && first == second;
}

}  // namespace quillmar::planprobe
