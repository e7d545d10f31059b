// The conversion rule's edge cases, each cut into pieces of every small size; the fuzz target
// holds random pages against the rule.
#include <gtest/gtest.h>

#include "fuzz/conversion_rule.h"

namespace quillmar::tildeconv {
namespace {

using namespace std::string_literals;

TEST(TildeConverter, ConvertsTheSameWhereverThePageIsCut) {
  const struct {
    std::string page;
    std::string converted;
    uint64_t feedback;
    uint64_t regular;
  } cases[] = {
      {"a<!--~-->b~c", "a~b~~c", 1, 1},
      {"<!--~--><!--~-->", "~~", 2, 0},
      {"<!--~~-->", "<!--~~~~-->", 0, 2},
      {"<!-- ~ -->", "<!-- ~~ -->", 0, 1},
      {"x<!--~--", "x<!--~~--", 0, 1},  // cut short by the end of the page
      {"<!--~", "<!--~~", 0, 1},
      {"~<!--~-->~", "~~~~~", 1, 2},
      {"<<!--~-->", "<~", 1, 0},
      {"<!--<!--~-->", "<!--~", 1, 0},
      {"<!--~-->-->", "~-->", 1, 0},
      {"<!--~--!>", "<!--~~--!>", 0, 1},
      {"<!--~-- >", "<!--~~-- >", 0, 1},
      {"<!--~-><!--~-->", "<!--~~->~", 1, 1},
      {"~~", "~~~~", 0, 2},
      {"no tildes here\r\n", "no tildes here\r\n", 0, 0},
      {"", "", 0, 0},
      {"a\0~\0<!--~-->\xff"s, "a\0~~\0~\xff"s, 1, 1},
  };
  for (const auto& c : cases) {
    for (size_t piece : {0, 1, 2, 3, 4, 5, 7, 8, 9}) {
      EXPECT_TRUE(convertInPieces(c.page, piece) == (Converted{c.converted, c.feedback, c.regular}))
          << "page " << c.page << ", pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace quillmar::tildeconv
