// Feeds arbitrary pages to the converter, cut into pieces of a size taken from the input, and
// stops at any page whose result differs from the plain rule's.
#include <cstdlib>

#include "fuzz/conversion_rule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  using namespace quillmar::tildeconv;
  if (!(convertInPieces(page, data[0] % 24 + 1) == convertByteByByte(page))) {
    std::abort();
  }
  return 0;
}
