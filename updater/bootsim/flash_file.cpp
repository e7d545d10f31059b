// Flash image files through the updater's own image-file module.
#include "bootsim/flash_file.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "image/fileio.h"

namespace quillmar::bootsim {
namespace {

int formatFor(const std::string& path) {
  const std::string suffix = ".hex";
  bool hex = path.size() >= suffix.size() &&
             std::equal(suffix.rbegin(), suffix.rend(), path.rbegin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
             });
  return hex ? image::IntelHex : image::RawBinary;
}

}  // namespace

bool loadFlash(FlashMemory& flash, const std::string& path, std::ostream& diag) {
  std::vector<uint8_t> image(kFlashBytes);
  int loaded = image::fileio(image::Input, path, formatFor(path), image.data(),
                             static_cast<int>(image.size()), diag);
  if (loaded < 0) {
    return false;
  }
  std::copy(image.begin(), image.end(), flash.bytes().begin());
  return true;
}

bool dumpFlash(const FlashMemory& flash, const std::string& path, std::ostream& diag) {
  std::vector<uint8_t> image(flash.bytes().begin(), flash.bytes().end());
  return image::fileio(image::Output, path, formatFor(path), image.data(),
                       static_cast<int>(image.size()), diag) >= 0;
}

}  // namespace quillmar::bootsim
