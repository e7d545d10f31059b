#include <filesystem>
#include <system_error>

#include "boot/program_folder.h"

namespace quillmar::boot {

std::string programFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !program.has_parent_path())
    return ".";
  return program.parent_path().string();
}

}  // namespace quillmar::boot
