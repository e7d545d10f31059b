// POSIX names are bytes, which paths keep as they are.
#include "file_name.h"

namespace quillmar::platform {

std::filesystem::path pathFromName(const std::string& name) {
  return name;
}

std::string nameFromPath(const std::filesystem::path& path) {
  return path.string();
}

}  // namespace quillmar::platform
