#include "tilde_converter.h"

#include <algorithm>
#include <cstring>

namespace quillmar::tildeconv {

namespace {

constexpr size_t kMarkerSize = kFeedbackMarker.size();
// The marker's one tilde; every marker is found through it.
constexpr size_t kMarkerTilde = kFeedbackMarker.find('~');

// Returns where an unfinished marker starts at the end of bytes, or bytes.size() if none does.
// Only the marker's first byte is '<', so at most one start can qualify.
size_t undecidedStart(std::span<const char> bytes) {
  const size_t n = bytes.size();
  for (size_t at = n > kMarkerSize - 1 ? n - (kMarkerSize - 1) : 0; at < n; ++at) {
    if (bytes[at] == '<' && std::memcmp(bytes.data() + at, kFeedbackMarker.data(), n - at) == 0) {
      return at;
    }
  }
  return n;
}

// Appends count bytes from `from` at out.
void copyOut(const char* from, size_t count, char*& out) {
  if (count > 0) {
    std::memcpy(out, from, count);
    out += count;
  }
}

}  // namespace

size_t TildeConverter::scan(std::span<const char> bytes, bool atEnd, char*& out) {
  const char* data = bytes.data();
  const size_t end = atEnd ? bytes.size() : undecidedStart(bytes);
  size_t pos = 0;
  // Markers cannot overlap one another, so looking for the marker around each tilde finds
  // exactly the markers that a byte-by-byte scan from the front would find.
  while (pos < end) {
    const void* hit = std::memchr(data + pos, '~', end - pos);
    if (hit == nullptr) {
      break;
    }
    const size_t tilde = static_cast<const char*>(hit) - data;
    const bool marker =
        tilde >= pos + kMarkerTilde && tilde - kMarkerTilde + kMarkerSize <= end &&
        std::memcmp(data + tilde - kMarkerTilde, kFeedbackMarker.data(), kMarkerSize) == 0;
    if (marker) {
      copyOut(data + pos, tilde - kMarkerTilde - pos, out);
      *out++ = '~';
      ++feedbackCount_;
      pos = tilde - kMarkerTilde + kMarkerSize;
    } else {
      copyOut(data + pos, tilde + 1 - pos, out);
      *out++ = '~';
      ++regularCount_;
      pos = tilde + 1;
    }
  }
  copyOut(data + pos, end - pos, out);
  return end;
}

char* TildeConverter::reserve(size_t count) {
  const size_t needed = 2 * (heldSize_ + count);
  if (output_.size() < needed) {
    output_.resize(needed);
  }
  return output_.data();
}

void TildeConverter::hold(std::span<const char> bytes) {
  std::copy(bytes.begin(), bytes.end(), held_.begin());
  heldSize_ = bytes.size();
}

std::span<const char> TildeConverter::convert(std::span<const char> bytes) {
  char* const begin = reserve(bytes.size());
  char* out = begin;
  size_t from = 0;
  if (heldSize_ > 0) {
    // Decide the held bytes together with just enough of the new ones to finish any marker.
    std::array<char, 2 * kHeldMax> joined{};
    const size_t taken = std::min(bytes.size(), kHeldMax);
    std::copy_n(held_.begin(), heldSize_, joined.begin());
    std::copy_n(bytes.begin(), taken, joined.begin() + heldSize_);
    const std::span<const char> head(joined.data(), heldSize_ + taken);
    const size_t done = scan(head, false, out);
    if (done < heldSize_) {
      // Still unfinished: the new bytes were too few to decide it.
      hold(head.subspan(done));
      return {begin, out};
    }
    from = done - heldSize_;
  }
  const std::span<const char> rest = bytes.subspan(from);
  hold(rest.subspan(scan(rest, false, out)));
  return {begin, out};
}

std::span<const char> TildeConverter::finish() {
  char* const begin = reserve(0);
  char* out = begin;
  scan({held_.data(), heldSize_}, true, out);
  heldSize_ = 0;
  return {begin, out};
}

}  // namespace quillmar::tildeconv
