// The converter driven in pieces, and the conversion rule stated plainly as its yardstick; the
// fuzz target and the unit tests both hold the one against the other.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "tilde_converter.h"

namespace quillmar::tildeconv {

struct Converted {
  std::string bytes;
  uint64_t feedback = 0;
  uint64_t regular = 0;
  bool operator==(const Converted&) const = default;
};

// Converts page in pieces of at most `piece` bytes (0: in one piece), then finishes it.
inline Converted convertInPieces(const std::string& page, size_t piece) {
  TildeConverter converter;
  Converted result;
  const size_t step = piece == 0 ? std::max<size_t>(page.size(), 1) : piece;
  for (size_t at = 0; at < page.size(); at += step) {
    const auto out = converter.convert({page.data() + at, std::min(step, page.size() - at)});
    result.bytes.append(out.begin(), out.end());
  }
  const auto out = converter.finish();
  result.bytes.append(out.begin(), out.end());
  result.feedback = converter.feedbackCount();
  result.regular = converter.regularCount();
  return result;
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
