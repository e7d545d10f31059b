#include "image/diag_print.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>

namespace quillmar::image {
namespace {

// The text of `format` over `args`, however long.
std::string formatList(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
  }
  return text;
}

}  // namespace

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatList(format, args);
  va_end(args);
  return text;
}

void printTo(std::ostream& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out << formatList(format, args);
  va_end(args);
}

}  // namespace quillmar::image
