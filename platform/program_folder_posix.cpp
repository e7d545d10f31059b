// The program's file as the kernel names it in /proc/self/exe (Linux; elsewhere the link is
// missing and the answer is ".").
#include <filesystem>
#include <system_error>

#include "program_folder.h"

namespace quillmar::platform {

std::string programFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !program.has_parent_path())
    return ".";
  return program.parent_path().string();
}

}  // namespace quillmar::platform
