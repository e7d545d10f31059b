#include "output_name.h"

#include <gtest/gtest.h>

namespace quillmar::tildeconv {
namespace {

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
      {"hthtml", "htsyn"},
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
