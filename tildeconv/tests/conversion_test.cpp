// The output file's name, and the conversion rule's edge cases, each cut into pieces of every
// small size; the fuzz target holds random pages against the rule.
#include <gtest/gtest.h>

#include "fuzz/conversion_rule.h"
#include "output_name.h"

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
      {"<!--~~-->", "<!--~~~~-->", 0, 2},
      {"<!-- ~ -->", "<!-- ~~ -->", 0, 1},
      {"x<!--~--", "x<!--~~--", 0, 1},  // cut short by the end of the page
      {"~<!--~-->~", "~~~~~", 1, 2},
      {"<<!--~-->", "<~", 1, 0},
      {"<!--<!--~-->", "<!--~", 1, 0},
      {"<!--~-->-->", "~-->", 1, 0},
      {"<!--~--!>", "<!--~~--!>", 0, 1},
      {"<!--~-- >", "<!--~~-- >", 0, 1},
      {"<!--~-><!--~-->", "<!--~~->~", 1, 1},
      {"no tildes here\r\n", "no tildes here\r\n", 0, 0},
      {"a\0~\0<!--~-->\xff"s, "a\0~~\0~\xff"s, 1, 1},
  };
  for (const auto& c : cases) {
    for (size_t piece : {1, 2, 3, 4, 5, 7, 8, 9, 100}) {
      EXPECT_TRUE(convertInPieces(c.page, piece) == (Converted{c.converted, c.feedback, c.regular}))
          << "page " << c.page << ", pieces of " << piece;
    }
  }
}

TEST(OutputFileName, TrimsTheLettersOfHtmlInReverseOrderThenAppendsSyn) {
  const struct {
    const char* source;
    const char* output;
  } cases[] = {
      {"index.htm", "index.syn"},
      {"page.html", "page.syn"},
      {"PAGE.HTM", "PAGE.HTMsyn"},  // upper case is never trimmed
      {"math", "matsyn"},
      {"x.htmll", "x.syn"},  // a whole run of one letter goes
      {"notes.txt", "notes.txsyn"},
      {"page.hmtl", "page.hmsyn"},  // each letter is tried once, in the order l, m, t, h
      {"pages\\index.htm", "pages\\index.syn"},
      {"pages/index.htm", "pages/index.syn"},
      {"html/page", "html/pagesyn"},  // the directory part is never touched
      {"page.syn", "page.synsyn"},    // never the source's own name
      {"", "syn"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(outputFileName(c.source), c.output) << "source: " << c.source;
  }
}

}  // namespace
}  // namespace quillmar::tildeconv
