#include "image/fileio.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "image/detect_format.h"
#include "image/diag_print.h"
#include "image/file_op.h"
#include "image/image_transfer.h"
#include "platform/error_text.h"
#include "platform/line_ends.h"
#include "platform/replace_file.h"

namespace quillmar::image {
namespace {

constexpr const char* kStandardStream = "-";

// The format to use: `format` itself, or the one detected from the file for AutoDetect.
// Empty after a message when detection decides nothing. An output file has no content yet to
// detect from.
std::optional<int> resolveFormat(const FileOpInfo& info, const std::string& name, int format,
                                 std::ostream& diag) {
  if (format != AutoDetect) {
    return format;
  }
  const int detected = info.op == Input ? detectFormat(name, diag) : -1;
  if (detected < 0) {
    printTo(diag, "can't determine file format for %s, specify explicitly\n", name.c_str());
    return std::nullopt;
  }
  printTo(diag, "%s file %s auto detected as %s\n\n", info.description, name.c_str(),
          formatName(detected));
  return detected;
}

// Reports an output that stopped short, with how much of it got out.
void reportWriteError(const FileOpInfo& info, const std::string& name, const char* reason,
                      std::size_t written, std::size_t expected, std::ostream& diag) {
  printTo(diag, "%s error %s %s: %s; %s %zu of the expected %zu bytes\n", info.description,
          info.direction, name.c_str(), reason, info.verb, written, expected);
}

// Writes a finished image to standard output. False after a message when it didn't all go.
bool deliverToStandardOutput(const FileOpInfo& info, std::string_view contents,
                             std::ostream& diag) {
  std::cout.flush();
  const std::size_t written = std::fwrite(contents.data(), 1, contents.size(), stdout);
  if (written == contents.size() && std::fflush(stdout) == 0) {
    return true;
  }
  reportWriteError(info, "<stdout>", std::strerror(errno), written, contents.size(), diag);
  return false;
}

// Replaces the named file with a finished image. False after a message when the old file
// had to stay.
bool deliverToFile(const FileOpInfo& info, const std::string& fileName, std::string_view contents,
                   std::ostream& diag) {
  const auto failure = platform::replaceFile(fileName, contents);
  if (!failure) {
    return true;
  }
  // The messages end their sentences themselves, as after the POSIX texts.
  const std::string reason = platform::withoutFullStop(failure->reason);
  if (failure->step == platform::ReplaceFailure::Step::Write) {
    reportWriteError(info, fileName, reason.c_str(), failure->written, contents.size(), diag);
  } else {
    printTo(diag, "can't open %s file %s: %s\n", info.description, fileName.c_str(),
            reason.c_str());
  }
  return false;
}

// Opens the input (a named file or standard input), erases the buffer and loads the image.
int loadFile(const FileOpInfo& info, const std::string& fileName, int format, uint8_t* buffer,
             int capacity, std::ostream& diag, LoadDetails* details) {
  const bool standard = fileName == kStandardStream;
  std::ifstream file;
  if (!standard) {
    file.open(fileName, std::ios::binary);
    if (!file) {
      printTo(diag, "can't open %s file %s: %s\n", info.description, fileName.c_str(),
              std::strerror(errno));
      return -1;
    }
  }
  const std::string name = standard ? "<stdin>" : fileName;
  if (capacity > 0) {
    // Addresses the file doesn't mention read as erased flash.
    std::memset(buffer, 0xFF, static_cast<std::size_t>(capacity));
  }
  const std::optional<int> resolved = resolveFormat(info, name, format, diag);
  if (!resolved) {
    return -1;
  }
  return loadImage(*resolved, info, name, standard ? std::cin : file, buffer, capacity, diag,
                   details);
}

// The image is built in memory first so that nothing reaches the file unless all of it can.
int saveFile(const FileOpInfo& info, const std::string& fileName, int format, const uint8_t* buffer,
             int size, std::ostream& diag) {
  const bool standard = fileName == kStandardStream;
  const std::optional<int> resolved =
      resolveFormat(info, standard ? "<stdout>" : fileName, format, diag);
  if (!resolved) {
    return -1;
  }
  std::ostringstream image;
  const int written = saveImage(*resolved, info, image, buffer, size, diag);
  if (written < 0) {
    return -1;
  }
  // Text reaches a named file with the platform's line ends, as through a text-mode stream;
  // standard output is such a stream already.
  const bool text = *resolved != RawBinary && !standard;
  const std::string contents =
      text ? platform::withPlatformLineEnds(std::move(image).str()) : std::move(image).str();
  const bool delivered = standard ? deliverToStandardOutput(info, contents, diag)
                                  : deliverToFile(info, fileName, contents, diag);
  return delivered ? written : -1;
}

}  // namespace

int fileio(int op, const std::string& fileName, int format, uint8_t* buffer, int size,
           std::ostream& diag, LoadDetails* details) {
  if (buffer == nullptr) {
    printTo(diag, "fileio(): memory type not configured for device");
    return -1;
  }
  FileOpInfo info;
  if (describeOp(op, info, diag) < 0) {
    return -1;
  }
  return op == Input ? loadFile(info, fileName, format, buffer, size, diag, details)
                     : saveFile(info, fileName, format, buffer, size, diag);
}

const char* formatName(int format) {
  static constexpr const char* kNames[] = {"auto-detect", "Motorola S-Record", "Intel Hex",
                                           "raw binary"};
  return format >= AutoDetect && format <= RawBinary ? kNames[format] : "invalid format";
}

}  // namespace quillmar::image
