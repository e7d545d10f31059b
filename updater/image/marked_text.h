// Text image files as the tools that saved them stored them: a byte-order mark at the start
// says how. The readers see the text without its mark, UTF-16 decoded into UTF-8 as it is
// read, so a file saved by an editor with a mark, or by a shell as UTF-16, gives the same lines
// as one saved plainly.
#pragma once

#include <array>
#include <cstddef>
#include <istream>
#include <streambuf>
#include <string>

namespace quillmar::image {

// The byte-order mark a file starts with.
enum class TextMark { None, Utf8, Utf16LittleEndian, Utf16BigEndian };

// A stream buffer that reads `source` as marked text: the mark is dropped, UTF-16 is decoded
// into UTF-8 (a surrogate without its partner and an odd last byte become U+FFFD), and text
// without a mark passes unaltered. The mark is looked for at the first read, so that a read
// error there reaches the reading stream as one.
class MarkedTextBuffer : public std::streambuf {
 public:
  explicit MarkedTextBuffer(std::streambuf& source) : source_(source) {}

  // The mark found; None until the first read.
  TextMark mark() const { return mark_; }

 protected:
  int_type underflow() override;

 private:
  static constexpr std::size_t kChunk = 4096;

  void findMark();
  std::size_t readRaw(char* into, std::size_t count);
  std::size_t passChunk();
  std::size_t decodeChunk();
  void putCodePoint(char32_t codePoint, std::size_t& at);

  std::streambuf& source_;
  bool looked_ = false;
  TextMark mark_ = TextMark::None;
  std::string held_;                    // bytes read while looking for the mark, not yet used
  char16_t pendingHigh_ = 0;            // a high surrogate waiting for its low partner
  std::array<char, kChunk> raw_{};      // UTF-16 bytes as read
  std::array<char, kChunk * 2> out_{};  // the text handed out: at most 3 bytes per 2 read
};

// An input stream over another one's text, read through MarkedTextBuffer.
class MarkedTextStream : public std::istream {
 public:
  explicit MarkedTextStream(std::istream& source);

  // The mark `source` starts with (looks at the stream's start if nothing was read yet).
  TextMark mark();

 private:
  MarkedTextBuffer buffer_;
};

}  // namespace quillmar::image
