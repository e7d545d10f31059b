// SHA-256 from the system's cryptography provider (CNG).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <algorithm>
#include <limits>

#include "sha256.h"

namespace quillmar::platform {
namespace {

// The digest of `bytes` from the open provider `algorithm` into `digest`; false on a failure.
bool hash(BCRYPT_ALG_HANDLE algorithm, std::span<const uint8_t> bytes, UCHAR (&digest)[32]) {
  BCRYPT_HASH_HANDLE state = nullptr;
  if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &state, nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  bool hashed = true;
  for (std::size_t done = 0; hashed && done < bytes.size();) {
    const ULONG chunk = static_cast<ULONG>(
        std::min<std::size_t>(bytes.size() - done, std::numeric_limits<ULONG>::max()));
    hashed =
        BCRYPT_SUCCESS(BCryptHashData(state, const_cast<PUCHAR>(bytes.data() + done), chunk, 0));
    done += chunk;
  }
  hashed = hashed && BCRYPT_SUCCESS(BCryptFinishHash(state, digest, sizeof digest, 0));
  BCryptDestroyHash(state);
  return hashed;
}

}  // namespace

std::string sha256Hex(std::span<const uint8_t> bytes) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(
          BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return {};
  }
  UCHAR digest[32];
  const bool hashed = hash(algorithm, bytes, digest);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!hashed) {
    return {};
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const UCHAR byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xf];
  }
  return hex;
}

}  // namespace quillmar::platform
