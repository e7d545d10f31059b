#include "console_text.h"

#include <gtest/gtest.h>

namespace quillmar::tildeconv {
namespace {

TEST(CountReport, SingularOnlyForExactlyOne) {
  const struct {
    uint64_t feedback;
    uint64_t regular;
    const char* text;
  } cases[] = {
      {1, 1, "Replaced 1 feedback tilde.    Duplicated 1 regular tilde.\n"},
      {0, 0, "Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.\n"},
      {1, 0, "Replaced 1 feedback tilde.    Duplicated 0 regular tilde's.\n"},
      {0, 1, "Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.\n"},
      {2, 65536, "Replaced 2 feedback tilde's.  Duplicated 65536 regular tilde's.\n"},
      // Counts past 32 bits are shown as they are, not wrapped.
      {4294967297, 2147483648,
       "Replaced 4294967297 feedback tilde's.  Duplicated 2147483648 regular tilde's.\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(countReport(c.feedback, c.regular), c.text);
  }
}

}  // namespace
}  // namespace quillmar::tildeconv
