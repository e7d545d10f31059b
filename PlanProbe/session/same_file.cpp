#include "session/same_file.h"

#include <filesystem>
#include <system_error>

namespace quillmar::planprobe {

namespace fs = std::filesystem;

bool IsSameFile(const std::string& a, const std::string& b) {
  // The library compares device and file number (file index on Windows) of existing files.
  std::error_code error;
  if (fs::equivalent(a, b, error)) {
    return true;
  }
  if (!error) {
    return false;  // at least one of them exists, and they differ
  }
  const fs::path first = fs::weakly_canonical(fs::absolute(a, error), error);
  if (error) {
    return false;
  }
  const fs::path second = fs::weakly_canonical(fs::absolute(b, error), error);
  return !error && first == second;
}

}  // namespace quillmar::planprobe
