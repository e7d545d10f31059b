// Feeds arbitrary pages to the converter cut into pieces of a size taken from the input, and
// checks that the result does not depend on the cutting and that its size and tildes agree
// with the counts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tilde_converter.h"

namespace {

using quillmar::tildeconv::kFeedbackMarker;
using quillmar::tildeconv::TildeConverter;

struct Converted {
  std::string bytes;
  uint64_t feedback;
  uint64_t regular;
};

// Converts page in pieces of `piece` bytes (at least 1), then finishes it.
Converted convertInPieces(const std::string& page, size_t piece) {
  TildeConverter converter;
  std::string bytes;
  for (size_t at = 0; at < page.size(); at += piece) {
    const auto out = converter.convert({page.data() + at, std::min(piece, page.size() - at)});
    bytes.append(out.begin(), out.end());
  }
  const auto out = converter.finish();
  bytes.append(out.begin(), out.end());
  return {bytes, converter.feedbackCount(), converter.regularCount()};
}

// Stops the run as a finding when condition fails.
void check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const size_t piece = data[0] % 24 + 1;
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  const Converted whole = convertInPieces(page, std::max<size_t>(page.size(), 1));
  const Converted cut = convertInPieces(page, piece);
  check(cut.bytes == whole.bytes && cut.feedback == whole.feedback && cut.regular == whole.regular);
  check(whole.bytes.size() ==
        page.size() - (kFeedbackMarker.size() - 1) * whole.feedback + whole.regular);
  check(static_cast<uint64_t>(std::count(whole.bytes.begin(), whole.bytes.end(), '~')) ==
        whole.feedback + 2 * whole.regular);
  return 0;
}
