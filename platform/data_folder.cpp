// Making the data folder is the same on every system: the standard library's folder calls.
#include <filesystem>
#include <system_error>

#include "data_folder.h"
#include "file_name.h"

namespace quillmar::platform {

std::optional<std::string> makeFolders(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(pathFromName(folder), error);
  if (!error) {
    return std::nullopt;
  }
  // Windows' messages end in a line end, which the error texts never carry.
  std::string text = error.message();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

}  // namespace quillmar::platform
