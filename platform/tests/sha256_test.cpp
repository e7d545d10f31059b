// SHA-256 against the standard's test vectors, the last over a buffer large enough to take
// many blocks and, on Windows, several calls into the provider's state.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sha256.h"

namespace quillmar::platform {
namespace {

TEST(Sha256, KnownVectors) {
  const struct {
    const char* what;
    std::string message;
    const char* digest;
  } cases[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"a million a", std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<uint8_t> bytes(c.message.begin(), c.message.end());
    EXPECT_EQ(sha256Hex(bytes), c.digest);
  }
}

}  // namespace
}  // namespace quillmar::platform
