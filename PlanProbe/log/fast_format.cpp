#include "log/fast_format.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quillmar::planprobe {

namespace {

// Appends `value` padded to `width` with zeros (after the sign) or blanks (before it).
void appendInt(std::string& out, int value, int width, bool zeroPad) {
  char digits[16];
  const int64_t wide = value;
  const uint64_t magnitude = static_cast<uint64_t>(wide < 0 ? -wide : wide);
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  const int length = static_cast<int>(end - digits) + (value < 0 ? 1 : 0);
  const int padding = width > length ? width - length : 0;
  if (!zeroPad) {
    out.append(static_cast<size_t>(padding), ' ');
  }
  if (value < 0) {
    out.push_back('-');
  }
  if (zeroPad) {
    out.append(static_cast<size_t>(padding), '0');
  }
  out.append(digits, static_cast<size_t>(end - digits));
}

// Appends the text the C library formats, for conversions the fast formatter leaves alone.
void appendWithLibrary(std::string& out, const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) {
    return;
  }
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(length) + 1);
  std::vsnprintf(out.data() + start, static_cast<size_t>(length) + 1, format, args);
  out.resize(start + static_cast<size_t>(length));
}

}  // namespace

bool appendFormatted(std::string& out, const char* format, va_list args) {
  const size_t start = out.size();
  const char* p = format;
  while (*p != '\0') {
    const char* percent = std::strchr(p, '%');
    if (percent == nullptr) {
      out.append(p);
      break;
    }
    out.append(p, percent);
    p = percent + 1;
    if (*p == '%') {
      out.push_back('%');
      ++p;
      continue;
    }
    const bool zeroPad = *p == '0';
    if (zeroPad) {
      ++p;
    }
    int width = 0;
    while (*p >= '0' && *p <= '9') {
      width = width * 10 + (*p++ - '0');
    }
    int precision = -1;
    if (p[0] == '.' && p[1] == '*') {
      precision = va_arg(args, int);
      p += 2;
    }
    if ((*p == 'd' || *p == 'i') && precision < 0) {
      appendInt(out, va_arg(args, int), width, zeroPad);
    } else if (*p == 's' && width == 0 && !zeroPad) {
      const char* text = va_arg(args, const char*);
      if (text == nullptr) {
        text = "(null)";
      }
      out.append(text, precision < 0 ? std::strlen(text) : strnlen(text, precision));
    } else {
      out.resize(start);
      return false;
    }
    ++p;
  }
  return true;
}

void appendPrintf(std::string& out, const char* format, va_list args) {
  va_list fallback;
  va_copy(fallback, args);
  if (!appendFormatted(out, format, args)) {
    appendWithLibrary(out, format, fallback);
  }
  va_end(fallback);
}

}  // namespace quillmar::planprobe
