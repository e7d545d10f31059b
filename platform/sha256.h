// SHA-256 digests, which name a firmware image by its content (a kept copy, a history record)
// from the system's own implementation.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace quillmar::platform {

// The SHA-256 digest of `bytes` as 64 lower-case hex digits; empty only when Windows'
// cryptography provider cannot be used.
std::string sha256Hex(std::span<const uint8_t> bytes);

}  // namespace quillmar::platform
