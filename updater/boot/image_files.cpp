#include "boot/image_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "boot/boot_programmer.h"
#include "image/detect_format.h"
#include "image/fileio.h"
#include "platform/file_name.h"

namespace quillmar::boot {
namespace {

namespace fs = std::filesystem;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Names of the regular files in `folder` that equal `name` ignoring case, in name order.
std::vector<std::string> caseInsensitiveMatches(const fs::path& folder, const std::string& name) {
  std::vector<std::string> matches;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string candidate = platform::nameFromPath(it->path().filename());
    if (sameIgnoringCase(candidate, name) && it->is_regular_file(error)) {
      matches.push_back(candidate);
    }
  }
  std::sort(matches.begin(), matches.end());
  return matches;
}

// The start of a line as a message shows it: bytes outside printable ASCII as \xNN, and "..."
// for what is left out.
std::string shownLine(const std::string& line) {
  constexpr std::size_t kShownLength = 40;
  std::string shown;
  for (std::size_t at = 0; at < line.size(); ++at) {
    if (shown.size() >= kShownLength) {
      return shown + "...";
    }
    shown += escapeUnprintable(line.substr(at, 1));
  }
  return shown;
}

}  // namespace

std::string imageFilePath(const std::string& folder) {
  const fs::path place = platform::pathFromName(folder);
  const fs::path exact = place / kImageFileName;
  std::error_code error;
  if (fs::exists(exact, error))
    return platform::nameFromPath(exact);
  const std::vector<std::string> matches = caseInsensitiveMatches(place, kImageFileName);
  return platform::nameFromPath(matches.empty() ? exact
                                                : place / platform::pathFromName(matches.front()));
}

std::string readbackFilePath(const std::string& folder) {
  return platform::nameFromPath(platform::pathFromName(folder) / kReadbackFileName);
}

ImageFile imageFileIn(const std::string& folder) {
  return {imageFilePath(folder), image::IntelHex};
}

ImageFile readbackFileIn(const std::string& folder) {
  return {readbackFilePath(folder), image::IntelHex};
}

ImageFile chosenImageFile(const std::string& path) {
  return {path, image::formatForFileName(path, image::Input)};
}

ImageFile chosenReadbackFile(const std::string& path) {
  return {path, image::formatForFileName(path, image::Output)};
}

std::optional<std::string> imageRefusal(const ImageFile& file) {
  if (file.format != image::IntelHex) {
    return std::nullopt;
  }
  std::ifstream in(file.path, std::ios::binary);
  const std::optional<image::ForeignLine> line = in ? image::firstForeignLine(in) : std::nullopt;
  if (!line) {
    return std::nullopt;
  }
  std::string refusal = "\"" + file.path + "\" is not an Intel HEX file: line " +
                        std::to_string(line->number) + " is not a record: \"" +
                        shownLine(line->text) + "\".";
  if (line->binary) {
    refusal += "\nIt holds binary data; a raw binary image is named *.bin.";
  }
  return refusal;
}

}  // namespace quillmar::boot
