#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "schedule/reader.h"
#include "tests/reader_fixture.h"

namespace quillmar::planprobe {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ParamCase {
  std::string text;
  ResultCode rc;
  Bytes bytes;  // with the terminating zero; only checked on success
  char letter;  // the field letter afterwards; '?' when untouched
  std::string rest;
};

using ReadParamsTest = ReaderTest;

TEST_F(ReadParamsTest, Table) {
  const std::vector<ParamCase> cases = {
      // Numbers.
      {"300", SUCCESS, {1, 44, 0}, '?', ""},
      {"5", SUCCESS, {5, 0}, '?', ""},
      {"0", SUCCESS, {0, 0}, '?', ""},
      {"255 256", SUCCESS, {255, 1, 0, 0}, '?', ""},
      {"65535", SUCCESS, {255, 255, 0}, '?', ""},
      {"65536", SUCCESS, {255, 255, 0}, '?', ""},
      {"99999999999999999999", SUCCESS, {255, 255, 0}, '?', ""},
      {"hff", SUCCESS, {255, 0}, '?', ""},
      {"H1F4", SUCCESS, {1, 244, 0}, '?', ""},
      {"hAbC", SUCCESS, {10, 188, 0}, '?', ""},
      {"h;x", SUCCESS, {0, 0}, '?', ";x"},
      {"hg", BAD_DATA_PARAM, {}, '?', ""},
      {"h 1", BAD_DATA_PARAM, {}, '?', ""},
      {"h", BAD_DATA_PARAM, {}, '?', ""},
      // Separators and list ends.
      {"  1,2 ,,3", SUCCESS, {1, 2, 3, 0}, '?', ""},
      {"7;comment", SUCCESS, {7, 0}, '?', ";comment"},
      {"7\nnext", SUCCESS, {7, 0}, '?', "\nnext"},
      {"7\r\n", SUCCESS, {7, 0}, '?', "\r\n"},
      {"7\tx", SUCCESS, {7, 0}, '?', "\tx"},
      {"", SUCCESS, {0}, '?', ""},
      {";", SUCCESS, {0}, '?', ";"},
      // Labels of the next parameter.
      {"5 2:4", SUCCESS, {5, 0}, '2', ":4"},
      {"1:", SUCCESS, {0}, '1', ":"},
      {"\"a\"4:x", SUCCESS, {'a', 0}, '4', ":x"},
      {"5:", BAD_DATA_PARAM, {}, '?', ""},
      {"12:", BAD_DATA_PARAM, {}, '?', ""},
      {"3", SUCCESS, {3, 0}, '?', ""},
      // Text items.
      {R"("\"\\\b\n\r\t")", SUCCESS, {34, 92, 7, 10, 13, 9, 0}, '?', ""},
      {R"("\B\N\R\T")", SUCCESS, {7, 10, 13, 9, 0}, '?', ""},
      {"\"a;b,c\td\"", SUCCESS, {'a', ';', 'b', ',', 'c', '\t', 'd', 0}, '?', ""},
      {"\"line\nfeed\" 3", SUCCESS, {'l', 'i', 'n', 'e', '\n', 'f', 'e', 'e', 'd', 3, 0}, '?', ""},
      {"\"ab\"\"cd\"", SUCCESS, {'a', 'b', 'c', 'd', 0}, '?', ""},
      {"\"hi\",300 h10", SUCCESS, {'h', 'i', 1, 44, 16, 0}, '?', ""},
      {"\"open", SUCCESS, {'o', 'p', 'e', 'n', 0}, '?', ""},
      {"\"\"", SUCCESS, {0}, '?', ""},
      {"\"a\rb\"", BAD_DATA_PARAM, {}, '?', ""},
      {R"("\x")", BAD_DATA_PARAM, {}, '?', ""},
      {"\"\\", BAD_DATA_PARAM, {}, '?', ""},
      // Anything else where an item may start.
      {"x", BAD_DATA_PARAM, {}, '?', ""},
      {"5 D:01", BAD_DATA_PARAM, {}, '?', ""},
      {":", BAD_DATA_PARAM, {}, '?', ""},
      {std::string("\0", 1), BAD_DATA_PARAM, {}, '?', ""},
  };
  for (const ParamCase& c : cases) {
    load(c.text);
    const Bytes old = {42};
    ParamBuffer slot = old;
    char letter = '?';
    EXPECT_EQ(reader.readParams(slot, letter), c.rc) << c.text;
    EXPECT_EQ(slot, c.rc == SUCCESS ? c.bytes : old) << c.text;
    EXPECT_EQ(letter, c.letter) << c.text;
    if (c.rc == SUCCESS) {
      EXPECT_EQ(rest(), c.rest) << c.text;
    }
  }
}

// A list reads the same wherever the chunk boundary falls inside or around it.
TEST_F(ReadParamsTest, ListStraddlingTheChunkBoundary) {
  const std::string list = "\"q\\\"x\\n\" h1F4, 300 2:9";
  const Bytes expected = {'q', '"', 'x', '\n', 1, 244, 1, 44, 0};
  const std::size_t chunk = ScheduleReader::kChunkSize;
  for (std::size_t offset = chunk - list.size() - 1; offset <= chunk + 1; ++offset) {
    load(std::string(offset, '.') + list);
    skip(offset);
    ParamBuffer slot;
    char letter = 0;
    ASSERT_EQ(reader.readParams(slot, letter), SUCCESS) << offset;
    EXPECT_EQ(slot, expected) << offset;
    EXPECT_EQ(letter, '2') << offset;
    EXPECT_EQ(rest(), ":9") << offset;
  }
}

TEST_F(ReadParamsTest, ListSpanningManyChunksHasExactSize) {
  const std::string text(5000, 'k');
  load("\"" + text + "\" 7\n");
  ParamBuffer slot;
  char letter = 0;
  ASSERT_EQ(reader.readParams(slot, letter), SUCCESS);
  ASSERT_EQ(slot.size(), text.size() + 2);
  EXPECT_EQ(std::string(slot.begin(), slot.begin() + 5000), text);
  EXPECT_EQ(slot[5000], 7);
  EXPECT_EQ(slot.capacity(), slot.size());
  EXPECT_EQ(rest(), "\n");
}

TEST_F(ReadParamsTest, MegabyteLines) {
  const std::string megabyte(1 << 20, '7');
  load(megabyte + "\n");
  ParamBuffer slot;
  char letter = 0;
  ASSERT_EQ(reader.readParams(slot, letter), SUCCESS);
  EXPECT_EQ(slot, (Bytes{255, 255, 0}));
  EXPECT_EQ(rest(), "\n");

  load("\"" + std::string(1 << 20, 'w'));
  ASSERT_EQ(reader.readParams(slot, letter), SUCCESS);
  EXPECT_EQ(slot.size(), (1u << 20) + 1);
  EXPECT_TRUE(reader.atEndOfFile());
}

}  // namespace
}  // namespace quillmar::planprobe
