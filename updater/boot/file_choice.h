// FileChoice: which files the dialog's operations work on. The user may choose the image to
// program and the file to read into; without a choice they are quillmar.hex and quillread.hex in
// the program's folder. A chosen ".bin" is raw binary, anything else Intel HEX (or, for an image,
// what its content shows), as on the command line. Free of any toolkit: both dialogs ask the
// user through their own file dialogs and keep their choices here.
#pragma once

#include <string>
#include <utility>

#include "boot/image_files.h"

namespace quillmar::boot {

// The two files of one operation: the image it programs or checks, the file it reads into.
struct OperationFiles {
  ImageFile image;
  ImageFile readback;
};

class FileChoice {
 public:
  explicit FileChoice(std::string folder) : folder_(std::move(folder)) {}

  void chooseImage(const std::string& path) { image_ = path; }
  void chooseReadback(const std::string& path) { readback_ = path; }

  // The image Update and Verify program: the chosen one, else the folder's quillmar.hex.
  ImageFile image() const;
  // The file Read writes: the chosen one, else the folder's quillread.hex.
  ImageFile readback() const;
  OperationFiles files() const { return {image(), readback()}; }
  // True when Read would write the folder's quillread.hex and that file can't be written there
  // (an installed program's folder, a read-only file): the dialog asks where to save first.
  bool readbackNeedsChoice() const;
  // Where the save dialog for the read-back starts: the current read-back file, or, when that
  // can't be written, quillread.hex in `documents` (the user's documents folder).
  std::string readbackDialogStart(const std::string& documents) const;

 private:
  std::string folder_;
  std::string image_;     // empty: the folder's quillmar.hex
  std::string readback_;  // empty: the folder's quillread.hex
};

// True for a name the dialog takes as an image when it is dropped: ".hex" or ".bin", any case.
bool isImageFileName(const std::string& name);

}  // namespace quillmar::boot
