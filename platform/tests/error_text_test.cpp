// The system's error texts as the programs pass them on: no line end, and, for a sentence of
// the caller's own, no full stop either.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <cerrno>
#endif

#include <gtest/gtest.h>

#include "platform/error_text.h"

namespace quillmar::platform {
namespace {

// Windows words its texts per language and Wine its own way: only their shape is fixed there.
TEST(ErrorText, SystemTextHasNoLineEnd) {
#ifdef _WIN32
  for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    const std::string text = systemErrorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '.') << text;
  }
  // A code the system has no text for (the customer bit set) still gets a description.
  EXPECT_EQ(systemErrorText(0x2000FFFF), "error 536936447");
#else
  EXPECT_EQ(systemErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(systemErrorText(EACCES), "Permission denied");
#endif
}

TEST(ErrorText, WithoutFullStop) {
  const std::pair<const char*, const char*> cases[] = {
      {"Access is denied.", "Access is denied"},
      {"Access is denied. \r\n", "Access is denied"},
      {"No such file or directory", "No such file or directory"},
      {"Version 1.2 is older", "Version 1.2 is older"},
      {"...", ""},
      {"", ""},
  };
  for (const auto& [text, clause] : cases) {
    EXPECT_EQ(withoutFullStop(text), clause) << text;
  }
}

}  // namespace
}  // namespace quillmar::platform
