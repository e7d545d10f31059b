#include "image/text_lines.h"

#include <istream>

namespace quillmar::image {

bool readTextLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) {
    return false;
  }
  // Files written on other platforms end their lines in CR LF; the CR is not part of the line.
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return true;
}

}  // namespace quillmar::image
