// Feeds arbitrary files to the Intel HEX reader, format detection and the check for files that
// are no Intel HEX. Whatever loads must save and load back to the same image and size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "image/detect_format.h"
#include "image/intel_hex.h"

namespace {

constexpr int kCapacity = 130560;

// Loads `text` into `image` (erased first) the way the updater loads its image file.
int load(const std::string& text, std::vector<uint8_t>& image) {
  std::fill(image.begin(), image.end(), 0xFF);
  std::istringstream in(text);
  std::ostringstream diag;
  return quillmar::image::readIntelHex("fuzz.hex", in, image.data(), kCapacity, diag);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::vector<uint8_t> image(kCapacity);
  static std::vector<uint8_t> reloaded(kCapacity);
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::istringstream detectIn(text);
  const int format = quillmar::image::detectStreamFormat(detectIn);
  if (format < -1 || format > 3) {
    std::abort();
  }

  std::istringstream foreignIn(text);
  const auto foreign = quillmar::image::firstForeignLine(foreignIn);
  if (foreign && foreign->number < 1) {
    std::abort();
  }

  const int loaded = load(text, image);
  if (loaded < 0) {
    return 0;
  }
  if (loaded > kCapacity) {
    std::abort();
  }
  std::ostringstream saved;
  std::ostringstream diag;
  if (quillmar::image::writeIntelHex(image.data(), loaded, quillmar::image::kHexRecordSize, 0,
                                     saved, diag) != loaded) {
    std::abort();
  }
  if (load(saved.str(), reloaded) != loaded ||
      !std::equal(image.begin(), image.begin() + loaded, reloaded.begin())) {
    std::abort();
  }
  return 0;
}
