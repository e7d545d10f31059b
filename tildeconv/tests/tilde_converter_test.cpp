#include "tilde_converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace quillmar::tildeconv {
namespace {

using namespace std::string_literals;

struct Converted {
  std::string bytes;
  uint64_t feedback = 0;
  uint64_t regular = 0;
};

// Converts page in pieces of at most `piece` bytes (0: in one piece), then finishes it.
Converted convertInPieces(const std::string& page, size_t piece) {
  TildeConverter converter;
  Converted result;
  const size_t step = piece == 0 ? std::max<size_t>(page.size(), 1) : piece;
  for (size_t at = 0; at < page.size(); at += step) {
    const std::span<const char> out =
        converter.convert({page.data() + at, std::min(step, page.size() - at)});
    result.bytes.append(out.begin(), out.end());
  }
  const std::span<const char> out = converter.finish();
  result.bytes.append(out.begin(), out.end());
  result.feedback = converter.feedbackCount();
  result.regular = converter.regularCount();
  return result;
}

// The rule stated plainly, one byte at a time over the whole page: the yardstick for the
// converter, which searches for tildes and holds back unfinished markers between pieces.
Converted convertByteByByte(const std::string& page) {
  Converted result;
  for (size_t at = 0; at < page.size();) {
    if (page.compare(at, kFeedbackMarker.size(), kFeedbackMarker) == 0) {
      result.bytes += '~';
      ++result.feedback;
      at += kFeedbackMarker.size();
    } else {
      if (page[at] == '~') {
        result.bytes += '~';
        ++result.regular;
      }
      result.bytes += page[at++];
    }
  }
  return result;
}

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
      const Converted got = convertInPieces(c.page, piece);
      EXPECT_EQ(got.bytes, c.converted) << "page " << c.page << ", pieces of " << piece;
      EXPECT_EQ(got.feedback, c.feedback) << "page " << c.page << ", pieces of " << piece;
      EXPECT_EQ(got.regular, c.regular) << "page " << c.page << ", pieces of " << piece;
    }
  }
}

TEST(TildeConverter, AgreesWithTheByteByByteRuleOnRandomPages) {
  // Pages dense in marker fragments, cut at random places, so that every way of splitting a
  // marker, its near misses and its neighbours comes up many times.
  const std::string fragments[] = {"<", "!", "-", "~", ">", "a", "<!--", "~-->", "<!--~-->"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string page;
    const int length = std::uniform_int_distribution<>(0, 60)(random);
    for (int i = 0; i < length; ++i) {
      page += fragments[std::uniform_int_distribution<size_t>(0, std::size(fragments) - 1)(random)];
    }
    const size_t piece = std::uniform_int_distribution<size_t>(0, 20)(random);
    const Converted expected = convertByteByByte(page);
    const Converted got = convertInPieces(page, piece);
    ASSERT_EQ(got.bytes, expected.bytes) << "page " << page << ", pieces of " << piece;
    ASSERT_EQ(got.feedback, expected.feedback) << "page " << page;
    ASSERT_EQ(got.regular, expected.regular) << "page " << page;
  }
}

TEST(TildeConverter, HoldsBackOnlyAnUnfinishedMarker) {
  const struct {
    std::string piece;
    std::string decided;
  } cases[] = {
      {"ab<!--~--", "ab"},  // seven bytes of a marker wait for the eighth
      {"ab<!-", "ab"},       {"ab<", "ab"},
      {"ab<!--~-->", "ab~"},  // a whole marker is decided at once
      {"ab<!x", "ab<!x"},     // a near miss is not held
      {"ab~", "ab~~"},       {"<!--~--<!", "<!--~~--"},
  };
  for (const auto& c : cases) {
    TildeConverter converter;
    const std::span<const char> out = converter.convert(c.piece);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.decided) << "piece " << c.piece;
  }
}

}  // namespace
}  // namespace quillmar::tildeconv
