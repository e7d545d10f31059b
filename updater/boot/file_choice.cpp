// Which files the dialog's operations use, and whether Read must ask for one.
#include "boot/file_choice.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "image/detect_format.h"
#include "image/fileio.h"
#include "platform/replace_file.h"

namespace quillmar::boot {
namespace {

namespace fs = std::filesystem;

// True when a read-back image can be saved as `path`.
bool canSave(const std::string& path) {
  return !platform::replaceBlocker(path).has_value();
}

// True when `text` ends with `end`, given in lower case, in any case.
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
  return readback_.empty() && !canSave(readbackFilePath(folder_));
}

std::string FileChoice::readbackDialogStart(const std::string& documents) const {
  const std::string current = readback().path;
  if (canSave(current))
    return current;
  return (fs::path(documents) / kReadbackFileName).string();
}

bool isImageFileName(const std::string& name) {
  return endsWithIgnoringCase(name, ".hex") || endsWithIgnoringCase(name, ".bin");
}

}  // namespace quillmar::boot
