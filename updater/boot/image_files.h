// Where the updater finds the image to program and puts the image it reads back: by default
// both lie in the program's folder, in Intel HEX; the command line may name other files.
#pragma once

#include <string>

namespace quillmar::boot {

inline constexpr const char* kImageFileName = "quillmar.hex";
inline constexpr const char* kReadbackFileName = "quillread.hex";

// An image file and the fileio format code it is read or written in.
struct ImageFile {
  std::string path;
  int format;
};

// The image to program in `folder`: "quillmar.hex", or, when that exact name is missing, the
// first file (in name order) whose name matches it ignoring case, as users follow the help
// text's "QUILLMAR.HEX". Falls back to the exact name, so a missing file fails when loaded.
std::string imageFilePath(const std::string& folder);

// The file that receives a read-back image: "quillread.hex" in `folder`.
std::string readbackFilePath(const std::string& folder);

// The folder's files in Intel HEX: imageFilePath and readbackFilePath.
ImageFile imageFileIn(const std::string& folder);
ImageFile readbackFileIn(const std::string& folder);

}  // namespace quillmar::boot
