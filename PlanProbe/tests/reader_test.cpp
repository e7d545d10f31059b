#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "schedule/reader.h"
#include "tests/reader_fixture.h"

namespace quillmar::planprobe {
namespace {

constexpr std::size_t kChunk = ScheduleReader::kChunkSize;

using ChunkTest = ReaderTest;

TEST_F(ChunkTest, EndOfInputFlagFollowsChunkLength) {
  struct Case {
    std::size_t size;
    bool shortFirstChunk;
  };
  for (const Case& c : {Case{0, true}, Case{1, true}, Case{kChunk - 1, true}, Case{kChunk, false},
                        Case{kChunk + 1, false}, Case{3 * kChunk, false}}) {
    load(std::string(c.size, 'x'));
    EXPECT_EQ(reader.endOfInput(), c.shortFirstChunk) << c.size;
    EXPECT_EQ(rest().size(), c.size);
    EXPECT_TRUE(reader.endOfInput());
    EXPECT_TRUE(reader.atEndOfFile());
  }
}

TEST_F(ChunkTest, FullChunkThenEmptyRefill) {
  load(std::string(kChunk, 'a'));
  EXPECT_FALSE(reader.endOfInput());
  for (std::size_t i = 0; i < kChunk; ++i) {
    reader.advance();
  }
  EXPECT_EQ(reader.peek(), ScheduleReader::kEnd);
  EXPECT_FALSE(reader.atEndOfFile());
  ASSERT_EQ(reader.fill(), SUCCESS);
  EXPECT_TRUE(reader.atEndOfFile());
}

TEST_F(ChunkTest, SkipToLineFeedCrossesChunks) {
  load(std::string(2 * kChunk + 5, 'z') + "\nnext");
  ASSERT_EQ(reader.skipToLineFeed(), SUCCESS);
  EXPECT_EQ(rest(), "\nnext");
  load("no line feed");
  ASSERT_EQ(reader.skipToLineFeed(), SUCCESS);
  EXPECT_TRUE(reader.atEndOfFile());
}

using ReadNumber2Test = ReaderTest;

TEST_F(ReadNumber2Test, Table) {
  struct Case {
    std::string_view text;
    bool exactlyTwo;
    ResultCode rc;
    int value;  // -1: left untouched
    std::string_view rest;
  };
  for (const Case& c : {
           Case{"123", false, SUCCESS, 12, "3"},
           Case{"7:", false, SUCCESS, 7, ":"},
           Case{"07", true, SUCCESS, 7, ""},
           Case{"99x", true, SUCCESS, 99, "x"},
           Case{"5", false, SUCCESS, 5, ""},
           Case{"5.", true, REJECTED_EVENT, 5, "."},
           Case{"5", true, REJECTED_EVENT, 5, ""},
           Case{"x5", false, REJECTED_EVENT, -1, "x5"},
           Case{" 5", false, REJECTED_EVENT, -1, " 5"},
           Case{"", false, REJECTED_EVENT, -1, ""},
       }) {
    load(c.text);
    std::uint8_t value = 200;
    EXPECT_EQ(reader.readNumber2(value, c.exactlyTwo), c.rc) << c.text;
    EXPECT_EQ(value, c.value < 0 ? 200 : c.value) << c.text;
    EXPECT_EQ(rest(), c.rest) << c.text;
  }
}

using ReadWordTest = ReaderTest;

TEST_F(ReadWordTest, Table) {
  const std::string letters25(25, 'q');
  struct Case {
    std::string text;
    std::string word;
    std::string rest;
  };
  for (const Case& c : {
           Case{"sunrise 1", "SUNRISE", " 1"},
           Case{"StartSequence", "STARTSEQUENCE", ""},
           Case{"ON:3", "ON", ":3"},
           Case{" ON", "", " ON"},
           Case{"", "", ""},
           Case{"a1b", "A", "1b"},
           Case{"\xC4x", "", "\xC4x"},
           Case{letters25, std::string(25, 'Q'), ""},
           Case{letters25 + "rst", std::string(25, 'Q'), "rst"},
       }) {
    load(c.text);
    Word word;
    word.letters.fill('!');
    EXPECT_EQ(reader.readWord(word), SUCCESS) << c.text;
    EXPECT_EQ(word.text(), c.word) << c.text;
    EXPECT_EQ(rest(), c.rest) << c.text;
  }
}

// Tokens read the same wherever the chunk boundary falls inside or around them.
TEST_F(ReaderTest, TokensStraddlingTheChunkBoundary) {
  for (std::size_t offset = kChunk - 16; offset <= kChunk + 2; ++offset) {
    const std::string pad(offset, ' ');
    load(pad + "47;");
    skip(offset);
    std::uint8_t value = 0;
    EXPECT_EQ(reader.readNumber2(value, true), SUCCESS) << offset;
    EXPECT_EQ(value, 47) << offset;
    EXPECT_EQ(rest(), ";") << offset;

    load(pad + "defaultWebPage;");
    skip(offset);
    Word word;
    EXPECT_EQ(reader.readWord(word), SUCCESS) << offset;
    EXPECT_EQ(word.text(), "DEFAULTWEBPAGE") << offset;
    EXPECT_EQ(rest(), ";") << offset;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
