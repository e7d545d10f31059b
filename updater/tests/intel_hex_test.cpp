#include "image/intel_hex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "image/marked_text.h"

namespace quillmar::image {
namespace {

constexpr int kAppRegion = 130560;

struct Placed {
  int address;
  std::vector<uint8_t> bytes;
};

struct ReadCase {
  const char* what;
  std::string file;
  int result;
  std::string diag;
  std::vector<Placed> loaded;  // everything else must still read 0xFF
  int capacity = kAppRegion;
};

const std::string kNoEnd = "WARNING: no end of file record found for Intel Hex file \"f.hex\"\n";

const std::vector<ReadCase> kReadCases = {
    {"data then end", ":0400000001020304F2\n:00000001FF\n", 4, "", {{0, {1, 2, 3, 4}}}},
    {"lower-case digits",
     ":04001000deadbeefb4\n:00000001ff\n",
     0x14,
     "",
     {{0x10, {0xDE, 0xAD, 0xBE, 0xEF}}}},
    {"CR LF line ends", ":0400000001020304F2\r\n:00000001FF\r\n", 4, "", {{0, {1, 2, 3, 4}}}},
    {"segment address",
     ":020000021000EC\n:02001000AABB89\n:00000001FF\n",
     0x10012,
     "",
     {{0x10010, {0xAA, 0xBB}}}},
    {"linear address",
     ":020000040001F9\n:0100000055AA\n:00000001FF\n",
     0x10001,
     "",
     {{0x10000, {0x55}}}},
    {"start addresses ignored",
     ":0400000300001234B3\n:0400000500001234B1\n:0100000055AA\n:00000001FF\n",
     1,
     "",
     {{0, {0x55}}}},
    {"last byte of the region",
     ":020000040001F9\n:10FDF000000102030405060708090A0B0C0D0E0F8B\n",
     kAppRegion,
     kNoEnd,
     {{0x1FDF0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}}}},
    {"text after the checksum", ":0100000055AA ; first byte\n:00000001FF\n", 1, "", {{0, {0x55}}}},
    {"end record stops reading", ":0100000055AA\n:00000001FF\n:garbage\n", 1, "", {{0, {0x55}}}},
    {"no records at all", "hello\n\nworld", 0, kNoEnd, {}},
    {"empty file", "", 0, kNoEnd, {}},
    {"data past the capacity",
     ":020000040001F9\n:10FFF000000102030405060708090A0B0C0D0E0F89\n:00000001FF\n",
     -1,
     "ERROR: address 0x20000 out of range at line 2 of f.hex\n",
     {}},
    {"no wrap-around at 4 GB",
     ":02000004FFFFFC\n:0100100001EE\n",
     -1,
     "ERROR: address 0xffff0011 out of range at line 2 of f.hex\n",
     {}},
    {"small capacity",
     ":0400000001020304F2\n",
     -1,
     "ERROR: address 0x0004 out of range at line 1 of f.hex\n",
     {},
     3},
    {"unknown record type",
     ":00000006FA\n",
     -1,
     "don't know how to deal with rectype=6 at line 1 of f.hex\n",
     {}},
    {"loaded before a failure stays",
     ":0100000055AA\n:0100000055AB\n",
     -1,
     "ERROR: checksum mismatch at line 2 of \"f.hex\"\nchecksum=0xab, computed checksum=0xaa\n",
     {{0, {0x55}}}},
    {"physical line numbers past long lines",
     std::string(600, 'x') + "\n" + std::string(300, 'y') + "\n:04\n",
     -1,
     "invalid record at line 3 of \"f.hex\"\n",
     {}},
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.what;
}

class ReadIntelHexTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadIntelHexTest, LoadsOrReports) {
  const ReadCase& c = GetParam();
  std::vector<uint8_t> buffer(kAppRegion, 0xFF);
  std::istringstream in(c.file);
  std::ostringstream diag;
  bool ended = true;
  EXPECT_EQ(readIntelHex("f.hex", in, buffer.data(), c.capacity, diag, &ended), c.result);
  EXPECT_EQ(diag.str(), c.diag);
  // Only a load that reached the end record reports it: not a failure, not a file cut short.
  EXPECT_EQ(ended, c.result >= 0 && c.diag != kNoEnd);
  std::vector<uint8_t> expected(kAppRegion, 0xFF);
  for (const Placed& p : c.loaded) {
    std::copy(p.bytes.begin(), p.bytes.end(), expected.begin() + p.address);
  }
  EXPECT_TRUE(buffer == expected);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadIntelHexTest, testing::ValuesIn(kReadCases),
                         [](const auto& info) {
                           std::string name = info.param.what;
                           for (char& ch : name) {
                             ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           }
                           return name;
                         });

// Lines that must not parse: each yields the invalid-record message.
TEST(ParseHexRecordTest, RejectsMalformedLines) {
  const char* lines[] = {
      ":",                     // shorter than 3
      ":0",                    // shorter than 3
      ":04",                   // offset missing
      ":0400",                 // offset cut short
      ":04000000010203",       // fewer data bytes than the length says
      ":0400000001020304",     // checksum missing
      ":0400000001020304F",    // checksum cut short
      ":04000000010203G4F2",   // not a hex digit
      ":04 0000001020304F2",   // space inside a field
      ":+4000000010203040F2",  // sign inside a field
      ":-1000000FF",           // sign inside a field
  };
  for (const char* line : lines) {
    HexRecord record;
    EXPECT_EQ(parseHexRecord(record, line), -1) << line;
  }
}

// Splits a written image into its lines, checking each ends in exactly one LF.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    EXPECT_EQ(line.find('\r'), std::string::npos);
    lines.push_back(line);
  }
  EXPECT_EQ(text.back(), '\n');
  return lines;
}

std::vector<uint8_t> counting(int size) {
  std::vector<uint8_t> image(static_cast<std::size_t>(size));
  std::iota(image.begin(), image.end(), uint8_t{0});
  return image;
}

// Exact output of small images: records, the segment crossing, the end; bad record sizes.
TEST(WriteIntelHexTest, WritesRecordsOrRefuses) {
  struct WriteCase {
    int size, recordSize, start, result;
    std::string out, diag;
  };
  const WriteCase cases[] = {
      {40, kHexRecordSize, 0, 40,
       ":20000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1FF0\n"
       ":080020002021222324252627BC\n:00000001FF\n",
       ""},
      {4, 16, 0xFFFE, 4, ":02FFFE00000100\n:020000040001F9\n:020000000203F9\n:00000001FF\n", ""},
      {1, 256, 0, -1, "", "recsize=256, must be < 256\n"},
      {1, 0, 0, -1, "", "recsize=0, must be > 0\n"},
  };
  for (const WriteCase& c : cases) {
    const std::vector<uint8_t> image = counting(c.size);
    std::ostringstream out, diag;
    EXPECT_EQ(writeIntelHex(image.data(), c.size, c.recordSize, c.start, out, diag), c.result);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(diag.str(), c.diag);
  }
}

// Record layout at the segment's end: records per segment, the linear address record, the end.
// A whole region's read-back file is pinned end to end by the transcript.
TEST(WriteIntelHexTest, SegmentLayouts) {
  struct Layout {
    int size;
    std::vector<std::pair<int, std::string>> marks;  // line index -> exact line
    std::size_t lines;
  };
  const Layout layouts[] = {
      {65536,
       {{2047, ":20FFE000E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF11"},
        {2048, ":020000040001F9"},
        {2049, ":00000001FF"}},
       2050},
      {65536 + 16,
       {{2048, ":020000040001F9"},
        {2049, ":10000000000102030405060708090A0B0C0D0E0F78"},
        {2050, ":00000001FF"}},
       2051},
  };
  for (const Layout& layout : layouts) {
    const std::vector<uint8_t> image = counting(layout.size);
    std::ostringstream out, diag;
    EXPECT_EQ(writeIntelHex(image.data(), layout.size, kHexRecordSize, 0, out, diag), layout.size);
    const std::vector<std::string> lines = linesOf(out.str());
    ASSERT_EQ(lines.size(), layout.lines) << layout.size;
    for (const auto& [index, line] : layout.marks) {
      EXPECT_EQ(lines[index], line) << layout.size << " line " << index;
    }
    // Every other line is a full 32-byte data record.
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const bool marked = std::any_of(layout.marks.begin(), layout.marks.end(),
                                      [&](const auto& mark) { return mark.first == int(i); });
      if (!marked) {
        EXPECT_EQ(lines[i].substr(0, 3), ":20") << layout.size << " line " << i;
        EXPECT_EQ(lines[i].size(), 75u) << layout.size << " line " << i;
      }
    }
  }
}

// Whatever the record size, an image written and read back is the same image.
TEST(WriteIntelHexTest, RoundTripsWithAnyRecordSize) {
  const std::vector<uint8_t> image = counting(kAppRegion);
  for (int recordSize : {1, 32, 122, 123, 255}) {
    std::ostringstream out, diag;
    ASSERT_EQ(writeIntelHex(image.data(), kAppRegion, recordSize, 0, out, diag), kAppRegion);
    if (recordSize == 255) {
      EXPECT_EQ(out.str().find('\n'), 521u);
    }
    std::vector<uint8_t> loaded(kAppRegion, 0xFF);
    std::istringstream in(out.str());
    EXPECT_EQ(readIntelHex("f.hex", in, loaded.data(), kAppRegion, diag), kAppRegion);
    EXPECT_TRUE(loaded == image) << recordSize;
    EXPECT_EQ(diag.str(), "");
  }
}

// UTF-16 code units as the bytes of a file in the given byte order.
std::string utf16(const std::u16string& units, bool bigEndian) {
  std::string bytes;
  for (const char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// Marked text reads as the UTF-8 text it holds, also where a surrogate pair or a code unit is
// split between two reads of the file; units that pair with nothing read as U+FFFD.
TEST(MarkedTextTest, ReadsTheTextTheMarkAnnounces) {
  const std::u16string many(2047, u'x');  // with the mark, a pair after these spans two reads
  const std::pair<std::string, std::string> cases[] = {
      {"\xEF\xBB\xBF:00\r\n", ":00\r\n"},
      {"\xFF\xFE" + utf16(u":0\u00fc\r\n", false), ":0\xC3\xBC\r\n"},
      {"\xFE\xFF" + utf16(u":0\u20ac\n", true), ":0\xE2\x82\xAC\n"},
      {"\xFF\xFE" + utf16(many + u"\U0001F600", false),
       std::string(2047, 'x') + "\xF0\x9F\x98\x80"},
      {"\xFF\xFE" + utf16({0xDC00, u'a', 0xD800, u'b', 0xD800}, false),
       "\xEF\xBF\xBD"
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD"},
      {"\xFE\xFF" + utf16(u"a", true) + "b", "a\xEF\xBF\xBD"},
      {"\xFF\x00\xFE", "\xFF\x00\xFE"},  // no mark: the bytes as they are
      {"\xEF\xBB", "\xEF\xBB"},
      {"", ""},
  };
  for (const auto& [file, text] : cases) {
    std::istringstream in(file);
    MarkedTextStream marked(in);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(marked), {}), text) << file;
  }
}

}  // namespace
}  // namespace quillmar::image
