// Where the updater finds the image to program and puts the image it reads back, and in which
// format: by default both lie in the program's folder, in Intel HEX; the command line may name
// other files, whose names give their formats. A file named as Intel HEX that is none is
// refused here, before anything reaches the unit.
#pragma once

#include <optional>
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

// A file the user chose (--image, --output, a dialog), in the format its name gives: raw binary
// for *.bin, Intel HEX for *.hex (any case); another image is told by its contents, another
// read-back is saved in Intel HEX.
ImageFile chosenImageFile(const std::string& path);
ImageFile chosenReadbackFile(const std::string& path);

// Why `file` must not be programmed, found before the port opens: an Intel HEX image whose
// lines show it is none (text without records, or binary data), as a message naming the file
// and the first line that is not a record. Nothing for an image the loader may judge, and for
// one that can't be opened (its load reports that).
std::optional<std::string> imageRefusal(const ImageFile& file);

}  // namespace quillmar::boot
