#include "image/detect_format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>

#include "image/diag_print.h"
#include "image/fileio.h"
#include "image/marked_text.h"
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

// The format one line decides on, or -1 when it decides nothing. A byte above 0x7F tells raw
// binary only in a file without a byte-order mark: a marked file is text, whatever it holds.
int lineFormat(std::string_view line, bool marked) {
  if (!marked && std::any_of(line.begin(), line.end(),
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

// True for a line no text file holds: one with a control character other than tab, vertical
// tab, form feed and carriage return (a NUL above all), or with DEL.
bool holdsBinary(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\t' && byte != '\v' && byte != '\f' && byte != '\r') ||
           byte == 0x7F;
  });
}

// True for a line of nothing but white space.
bool isBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

int detectStreamFormat(std::istream& in) {
  MarkedTextStream text(in);
  const bool marked = text.mark() != TextMark::None;
  std::string line;
  while (readTextLine(text, line)) {
    const int format = lineFormat(line, marked);
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

std::optional<ForeignLine> firstForeignLine(std::istream& in) {
  MarkedTextStream text(in);
  std::optional<ForeignLine> first;
  std::string line;
  for (int number = 1; readTextLine(text, line); ++number) {
    if (!line.empty() && line[0] == ':') {
      return std::nullopt;  // the loader judges the records
    }
    const bool binary = holdsBinary(line);
    if (!first && (binary || !isBlank(line))) {
      first = ForeignLine{number, line, false};
    }
    if (binary) {
      first->binary = true;
      return first;
    }
  }
  return first;
}

int formatForFileName(const std::string& fileName, int op) {
  struct NamedFormat {
    std::string_view suffix;
    int format;
  };
  static constexpr NamedFormat kNamedFormats[] = {{".bin", RawBinary}, {".hex", IntelHex}};
  for (const NamedFormat& named : kNamedFormats) {
    const std::string_view suffix = named.suffix;
    if (fileName.size() >= suffix.size() &&
        std::equal(
            suffix.begin(), suffix.end(), fileName.end() - suffix.size(),
            [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); })) {
      return named.format;
    }
  }
  return op == Input ? AutoDetect : IntelHex;
}

}  // namespace quillmar::image
