#include "image/image_transfer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>

#include "image/diag_print.h"
#include "image/fileio.h"
#include "image/intel_hex.h"

namespace quillmar::image {
namespace {

// The answer for formats this module knows by name only.
int refuseSRecord(const FileOpInfo& info, std::ostream& diag) {
  printTo(diag, "Motorola S-Record %s format not yet supported\n", info.description);
  return -1;
}

// The answer for format codes this module doesn't know.
int rejectFormat(const FileOpInfo& info, int format, std::ostream& diag) {
  printTo(diag, "invalid %s file format: %d\n", info.description, format);
  return -1;
}

// Reads up to `capacity` bytes unaltered; a shorter file is not an error.
int readRaw(const FileOpInfo& info, const std::string& name, std::istream& in, uint8_t* buffer,
            int capacity, std::ostream& diag) {
  const int wanted = std::max(capacity, 0);
  in.read(reinterpret_cast<char*>(buffer), wanted);
  const int count = static_cast<int>(in.gcount());
  if (in.bad()) {
    printTo(diag, "%s error %s %s: %s; %s %d of the expected %d bytes\n", info.description,
            info.direction, name.c_str(), std::strerror(errno), info.verb, count, wanted);
    return -1;
  }
  return count;
}

}  // namespace

int loadImage(int format, const FileOpInfo& info, const std::string& name, std::istream& in,
              uint8_t* buffer, int capacity, std::ostream& diag, LoadDetails* details) {
  LoadDetails ignored;
  LoadDetails& found = details != nullptr ? *details : ignored;
  found = LoadDetails{};
  switch (format) {
    case MotorolaSRecord:
      return refuseSRecord(info, diag);
    case IntelHex:
      return readIntelHex(name, in, buffer, capacity, diag, &found.endRecord);
    case RawBinary:
      found.endRecord = true;  // a raw image has no end record to miss
      return readRaw(info, name, in, buffer, capacity, diag);
    default:
      return rejectFormat(info, format, diag);
  }
}

int saveImage(int format, const FileOpInfo& info, std::ostream& out, const uint8_t* buffer,
              int size, std::ostream& diag) {
  switch (format) {
    case MotorolaSRecord:
      return refuseSRecord(info, diag);
    case IntelHex:
      return writeIntelHex(buffer, size, kHexRecordSize, 0, out, diag);
    case RawBinary: {
      const int count = std::max(size, 0);
      out.write(reinterpret_cast<const char*>(buffer), count);
      return count;
    }
    default:
      return rejectFormat(info, format, diag);
  }
}

}  // namespace quillmar::image
