#include "image/marked_text.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace quillmar::image {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Mark {
  std::string_view bytes;
  TextMark mark;
};

constexpr Mark kMarks[] = {
    {"\xEF\xBB\xBF", TextMark::Utf8},
    {"\xFF\xFE", TextMark::Utf16LittleEndian},
    {"\xFE\xFF", TextMark::Utf16BigEndian},
};

bool isHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

MarkedTextBuffer::int_type MarkedTextBuffer::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  if (!looked_) {
    findMark();
  }
  const bool utf16 = mark_ == TextMark::Utf16LittleEndian || mark_ == TextMark::Utf16BigEndian;
  const std::size_t count = utf16 ? decodeChunk() : passChunk();
  if (count == 0) {
    return traits_type::eof();
  }
  setg(out_.data(), out_.data(), out_.data() + count);
  return traits_type::to_int_type(out_[0]);
}

// Reads the first bytes and keeps those that are not a mark for the text.
void MarkedTextBuffer::findMark() {
  looked_ = true;
  char start[3];
  const std::string_view bytes(start, static_cast<std::size_t>(source_.sgetn(start, 3)));
  for (const Mark& mark : kMarks) {
    if (bytes.substr(0, mark.bytes.size()) == mark.bytes) {
      mark_ = mark.mark;
      held_ = bytes.substr(mark.bytes.size());
      return;
    }
  }
  held_ = bytes;
}

// Up to `count` bytes of the source: the held ones first. Fewer only at its end.
std::size_t MarkedTextBuffer::readRaw(char* into, std::size_t count) {
  std::size_t n = std::min(held_.size(), count);
  std::copy_n(held_.begin(), n, into);
  held_.erase(0, n);
  if (n < count) {
    n += static_cast<std::size_t>(source_.sgetn(into + n, static_cast<std::streamsize>(count - n)));
  }
  return n;
}

// Text without UTF-16: the next bytes as they are.
std::size_t MarkedTextBuffer::passChunk() {
  return readRaw(out_.data(), out_.size());
}

// The UTF-8 text of the next UTF-16 code units; 0 at the end. A high surrogate at the end of a
// chunk waits for the next one, as does an odd byte.
std::size_t MarkedTextBuffer::decodeChunk() {
  std::size_t at = 0;
  while (at == 0) {
    std::size_t n = readRaw(raw_.data(), raw_.size());
    if (n <= 1) {
      // The end: what still waits has no partner.
      if (std::exchange(pendingHigh_, 0) != 0) {
        putCodePoint(kReplacement, at);
      }
      if (n == 1) {
        putCodePoint(kReplacement, at);
      }
      return at;
    }
    if (n % 2 != 0) {
      held_.assign(1, raw_[--n]);
    }
    for (std::size_t i = 0; i < n; i += 2) {
      const auto first = static_cast<unsigned char>(raw_[i]);
      const auto second = static_cast<unsigned char>(raw_[i + 1]);
      const char32_t unit =
          mark_ == TextMark::Utf16BigEndian ? first << 8 | second : second << 8 | first;
      if (const char16_t high = std::exchange(pendingHigh_, 0); high != 0) {
        if (isLowSurrogate(unit)) {
          putCodePoint(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), at);
          continue;
        }
        putCodePoint(kReplacement, at);
      }
      if (isHighSurrogate(unit)) {
        pendingHigh_ = static_cast<char16_t>(unit);
      } else {
        putCodePoint(isLowSurrogate(unit) ? kReplacement : unit, at);
      }
    }
  }
  return at;
}

// Appends `codePoint` in UTF-8 to the text handed out.
void MarkedTextBuffer::putCodePoint(char32_t codePoint, std::size_t& at) {
  const auto put = [&](char32_t byte) { out_[at++] = static_cast<char>(byte); };
  if (codePoint < 0x80) {
    put(codePoint);
  } else if (codePoint < 0x800) {
    put(0xC0 | codePoint >> 6);
    put(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    put(0xE0 | codePoint >> 12);
    put(0x80 | (codePoint >> 6 & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  } else {
    put(0xF0 | codePoint >> 18);
    put(0x80 | (codePoint >> 12 & 0x3F));
    put(0x80 | (codePoint >> 6 & 0x3F));
    put(0x80 | (codePoint & 0x3F));
  }
}

MarkedTextStream::MarkedTextStream(std::istream& source)
    : std::istream(&buffer_), buffer_(*source.rdbuf()) {}

TextMark MarkedTextStream::mark() {
  peek();
  return buffer_.mark();
}

}  // namespace quillmar::image
