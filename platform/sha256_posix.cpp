// SHA-256 from libmd, the message digest library every Debian system has.
#include <sha2.h>

#include "sha256.h"

namespace quillmar::platform {

std::string sha256Hex(std::span<const uint8_t> bytes) {
  char hex[SHA256_DIGEST_STRING_LENGTH];  // libmd writes lower-case digits
  return SHA256Data(bytes.data(), bytes.size(), hex);
}

}  // namespace quillmar::platform
