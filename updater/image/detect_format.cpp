#include "image/detect_format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>

#include "image/diag_print.h"
#include "image/fileio.h"
#include "image/text_lines.h"

namespace quillmar::image {
namespace {

// True for 0-9, a-f and A-F.
bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// True when everything after the record mark is a hex digit.
bool hexAfterMark(std::string_view line) {
  return std::all_of(line.begin() + 1, line.end(), isHexDigit);
}

// The format one line decides on, or -1 when it decides nothing.
int lineFormat(std::string_view line) {
  if (std::any_of(line.begin(), line.end(),
                  [](char c) { return static_cast<unsigned char>(c) > 0x7F; })) {
    return RawBinary;
  }
  if (line.size() >= 11 && line[0] == ':' && hexAfterMark(line)) {
    return IntelHex;
  }
  if (line.size() >= 10 && line[0] == 'S' && line[1] >= '0' && line[1] <= '9' &&
      hexAfterMark(line)) {
    return MotorolaSRecord;
  }
  return -1;
}

}  // namespace

int detectStreamFormat(std::istream& in) {
  std::string line;
  while (readTextLine(in, line)) {
    const int format = lineFormat(line);
    if (format >= 0) {
      return format;
    }
  }
  return -1;
}

int detectFormat(const std::string& fileName, std::ostream& diag) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    printTo(diag, "error opening %s: %s\n", fileName.c_str(), std::strerror(errno));
    return -1;
  }
  return detectStreamFormat(in);
}

int formatForFileName(const std::string& fileName, int op) {
  constexpr std::string_view kBinary = ".bin";
  const bool binary =
      fileName.size() >= kBinary.size() &&
      std::equal(kBinary.begin(), kBinary.end(), fileName.end() - kBinary.size(),
                 [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
  if (binary)
    return RawBinary;
  return op == Input ? AutoDetect : IntelHex;
}

}  // namespace quillmar::image
