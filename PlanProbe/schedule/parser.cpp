#include "parser.h"

#include <cstdio>
#include <filesystem>

namespace quillmar::planprobe {

ResultCode loadScheduleFile(const std::string& path, bool syntaxMode, ParseTarget& target) {
  (void)syntaxMode;
  target.host.captureBootTime();
  freeEventList(target.events);
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return FILE_OPEN_FAILED;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return FILE_OPEN_FAILED;
  }
  std::fclose(file);
  return SUCCESS;
}

}  // namespace quillmar::planprobe
