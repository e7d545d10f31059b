#include "boot/file_choice.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "image/detect_format.h"
#include "image/fileio.h"

namespace quillmar::boot {
namespace {

namespace fs = std::filesystem;

bool endsWithIgnoringCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         std::equal(end.begin(), end.end(), text.end() - end.size(), [](char a, char b) {
           return a == std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

ImageFile FileChoice::image() const {
  if (image_.empty())
    return imageFileIn(folder_);
  return {image_, image::formatForFileName(image_, image::Input)};
}

ImageFile FileChoice::readback() const {
  if (readback_.empty())
    return readbackFileIn(folder_);
  return {readback_, image::formatForFileName(readback_, image::Output)};
}

bool FileChoice::readbackNeedsChoice() const {
  return readback_.empty() && !canWrite(readbackFilePath(folder_));
}

std::string FileChoice::readbackDialogStart(const std::string& documents) const {
  const std::string current = readback().path;
  if (canWrite(current))
    return current;
  return (fs::path(documents) / kReadbackFileName).string();
}

bool isImageFileName(const std::string& name) {
  return endsWithIgnoringCase(name, ".hex") || endsWithIgnoringCase(name, ".bin");
}

bool canWrite(const std::string& path) {
  std::error_code error;
  const bool existed = fs::exists(path, error);
  if (fs::is_directory(path, error))
    return false;
  // Appending writes nothing, so an existing file is left as it was.
  const bool opened = std::ofstream(path, std::ios::binary | std::ios::app).is_open();
  if (opened && !existed)
    fs::remove(path, error);
  return opened;
}

}  // namespace quillmar::boot
