// The per-format handlers behind fileio: one dispatch per direction over the format codes.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "image/file_op.h"
#include "image/fileio.h"

namespace quillmar::image {

// Loads an image in `format` from `in` into buffer[0..capacity). Returns the image size, or -1
// after a message on `diag` (unknown or refused format, bad content, read error). Fills
// `details` when given.
int loadImage(int format, const FileOpInfo& info, const std::string& name, std::istream& in,
              uint8_t* buffer, int capacity, std::ostream& diag, LoadDetails* details);

// Writes buffer[0..size) in `format` to `out`. Returns the image bytes written, or -1 after a
// message on `diag` (unknown or refused format).
int saveImage(int format, const FileOpInfo& info, std::ostream& out, const uint8_t* buffer,
              int size, std::ostream& diag);

}  // namespace quillmar::image
