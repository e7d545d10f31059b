// The converter driven in pieces, and the conversion rule stated plainly as its yardstick; the
// fuzz target and the unit tests both hold the one against the other.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tilde_converter.h"

namespace quillmar::tildeconv {

struct Converted {
  std::string bytes;
  uint64_t feedback = 0;
  uint64_t regular = 0;
  bool operator==(const Converted&) const = default;
};

// Converts page in pieces of `piece` bytes (the last may be shorter), then finishes it.
inline Converted convertInPieces(std::string_view page, size_t piece) {
  TildeConverter converter;
  std::string bytes;
  const auto append = [&](std::span<const char> out) { bytes.append(out.begin(), out.end()); };
  for (size_t at = 0; at < page.size(); at += piece) {
    append(converter.convert(page.substr(at, piece)));
  }
  append(converter.finish());
  return {bytes, converter.feedbackCount(), converter.regularCount()};
}

// The rule one byte at a time over the whole page: a feedback marker becomes one tilde, any
// other tilde is doubled.
inline Converted convertByteByByte(const std::string& page) {
  Converted result;
  for (size_t at = 0; at < page.size();) {
    if (page.compare(at, kFeedbackMarker.size(), kFeedbackMarker) == 0) {
      result.bytes += '~';
      ++result.feedback;
      at += kFeedbackMarker.size();
    } else {
      result.regular += page[at] == '~';
      result.bytes += page[at] == '~' ? "~~" : std::string(1, page[at]);
      ++at;
    }
  }
  return result;
}

}  // namespace quillmar::tildeconv
