// Positions in UTF-16, UTF-8 and bytes over lines with non-ASCII characters and every kind of
// line end, and the open documents' edits in both encodings.
#include <gtest/gtest.h>

#include <string>

#include "lsp/documents.h"
#include "lsp/positions.h"

namespace quillmar::lsp {
namespace {

using nlohmann::json;
constexpr auto kUtf16 = PositionEncoding::Utf16;
constexpr auto kUtf8 = PositionEncoding::Utf8;

// a, u-umlaut (2 bytes), euro (3 bytes), an emoji (4 bytes, 2 UTF-16 units), then a tag.
const std::string kLine = "a\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80<on>";

struct ColumnCase {
  std::size_t bytes;
  uint32_t utf16;
  uint32_t utf8;
};

class Columns : public testing::TestWithParam<ColumnCase> {};

TEST_P(Columns, CountEachEncodingsUnits) {
  const auto& c = GetParam();
  EXPECT_EQ(columnOf(kLine, c.bytes, kUtf16), c.utf16) << c.bytes;
  EXPECT_EQ(columnOf(kLine, c.bytes, kUtf8), c.utf8) << c.bytes;
}

INSTANTIATE_TEST_SUITE_P(Line, Columns,
                         testing::Values(ColumnCase{0, 0, 0}, ColumnCase{1, 1, 1},
                                         ColumnCase{2, 1, 1},  // inside the umlaut: its start
                                         ColumnCase{3, 2, 3}, ColumnCase{6, 3, 6},
                                         ColumnCase{8, 3, 6},  // inside the emoji
                                         ColumnCase{10, 5, 10}, ColumnCase{14, 9, 14},
                                         ColumnCase{99, 9, 14}));

TEST(Columns, BytesAndColumnsRoundTripAtEveryCharacter) {
  for (const std::size_t bytes : {0, 1, 3, 6, 10, 11, 14}) {
    EXPECT_EQ(bytesOf(kLine, columnOf(kLine, bytes, kUtf16), kUtf16), bytes);
    EXPECT_EQ(bytesOf(kLine, columnOf(kLine, bytes, kUtf8), kUtf8), bytes);
  }
  EXPECT_EQ(bytesOf(kLine, 4, kUtf16), 6u);  // between the emoji's surrogates: its start
  EXPECT_EQ(bytesOf(kLine, 8, kUtf8), 6u);   // inside the emoji's bytes
  EXPECT_EQ(bytesOf(kLine, 1000, kUtf16), kLine.size());
}

TEST(Columns, BytesThatStartNoCharacterCountOneEach) {
  for (const std::string bad :
       {"\xFF\xC3(", "\xE2\x82", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80"}) {
    EXPECT_EQ(columnOf(bad, bad.size(), kUtf16), bad.size()) << bad.size();
    EXPECT_EQ(bytesOf(bad, 1, kUtf16), 1u);
  }
}

TEST(Lines, EndAtLfCrLfAndALoneCr) {
  const std::string text = "a\r\nb\rc\n\n" + kLine;
  const LineIndex lines(text);
  ASSERT_EQ(lines.lineCount(), 5u);
  for (const auto& [line, expected] : {std::pair{0u, "a"}, {1u, "b"}, {2u, "c"}, {3u, ""}}) {
    EXPECT_EQ(lines.lineText(line), expected);
  }
  EXPECT_EQ(lines.lineText(4), kLine);
  EXPECT_EQ(lines.offsetAt({0, 5}, kUtf16), 1u);  // beyond the line: its end, before CR LF
  EXPECT_EQ(lines.offsetAt({4, 5}, kUtf16), 8u + 10u);
  EXPECT_EQ(lines.offsetAt({9, 0}, kUtf16), text.size());
  EXPECT_EQ(lines.positionAt(2, kUtf16), (Position{0, 1}));  // between CR and LF
  EXPECT_EQ(lines.positionAt(5, kUtf16), (Position{2, 0}));
  EXPECT_EQ(lines.positionAt(8 + 10, kUtf16), (Position{4, 5}));
  EXPECT_EQ(lines.positionAt(8 + 10, kUtf8), (Position{4, 10}));
  EXPECT_EQ(lines.positionAt(999, kUtf16), (Position{4, 9}));
  EXPECT_EQ(LineIndex("").lineCount(), 1u);
  EXPECT_EQ(LineIndex("x\r").lineCount(), 2u);
}

TEST(Encoding, IsUtf8OnlyWhenTheClientOffersIt) {
  EXPECT_EQ(chooseEncoding(json::parse(R"({"general":{"positionEncodings":["utf-16","utf-8"]}})")),
            kUtf8);
  for (const char* caps : {"{}", "null", R"({"general":{"positionEncodings":["utf-16"]}})",
                           R"({"general":{"positionEncodings":"utf-8"}})", R"({"general":3})"}) {
    EXPECT_EQ(chooseEncoding(json::parse(caps)), kUtf16) << caps;
  }
  EXPECT_EQ(encodingName(kUtf16), "utf-16");
}

const std::string kText = "ab\r\n\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80x\nlast";

// A change of [start, end) to `text`, positions given as line and character.
json edit(uint32_t l0, uint32_t c0, uint32_t l1, uint32_t c1, const char* text) {
  return {
      {"range",
       {{"start", {{"line", l0}, {"character", c0}}}, {"end", {{"line", l1}, {"character", c1}}}}},
      {"text", text}};
}

struct EditCase {
  const char* what;
  json changes;
  PositionEncoding encoding;
  std::optional<std::string> text;  // nothing: refused, the text kept
};

class Edits : public testing::TestWithParam<EditCase> {};

TEST_P(Edits, ApplyExactlyOrNotAtAll) {
  const auto& c = GetParam();
  DocumentStore store;
  store.open({"file:///s.txt", "planprobe", 1, kText});
  const auto problem = store.change("file:///s.txt", 2, c.changes, c.encoding);
  const auto* document = store.find("file:///s.txt");
  EXPECT_EQ(problem.has_value(), !c.text) << c.what;
  EXPECT_EQ(document->text, c.text.value_or(kText)) << c.what;
  EXPECT_EQ(document->version, c.text ? 2 : 1) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Edits,
    testing::Values(
        EditCase{"over a CR LF", json::array({edit(0, 2, 1, 0, "-")}), kUtf16,
                 "ab-\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80x\nlast"},
        EditCase{"the emoji in UTF-16", json::array({edit(1, 2, 1, 4, "E")}), kUtf16,
                 "ab\r\n\xC3\xBC\xE2\x82\xAC"
                 "Ex\nlast"},
        EditCase{"the emoji in UTF-8", json::array({edit(1, 5, 1, 9, "E")}), kUtf8,
                 "ab\r\n\xC3\xBC\xE2\x82\xAC"
                 "Ex\nlast"},
        EditCase{"insert at the end", json::array({edit(2, 4, 2, 4, "!")}), kUtf16, kText + "!"},
        EditCase{"beyond the last line", json::array({edit(7, 0, 9, 9, "!")}), kUtf16, kText + "!"},
        EditCase{"beyond a line's end", json::array({edit(0, 99, 0, 99, "+")}), kUtf16,
                 "ab+\r\n\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80x\nlast"},
        EditCase{"delete all", json::array({edit(0, 0, 99, 0, "")}), kUtf16, ""},
        EditCase{"replace whole, then edit", json::array({{{"text", "xy"}}, edit(0, 1, 0, 1, "Z")}),
                 kUtf8, "xZy"},
        EditCase{"start after end", json::array({edit(1, 0, 0, 0, "")}), kUtf16, std::nullopt},
        EditCase{"a bad second change", json::array({edit(0, 0, 0, 0, "A"), {{"range", 1}}}),
                 kUtf16, std::nullopt},
        EditCase{"no text", json::array({{{"range", edit(0, 0, 0, 0, "")["range"]}}}), kUtf16,
                 std::nullopt},
        EditCase{"a negative line",
                 json::array({{{"range",
                                {{"start", {{"line", -1}, {"character", 0}}},
                                 {"end", {{"line", 0}, {"character", 0}}}}},
                               {"text", ""}}}),
                 kUtf16, std::nullopt},
        EditCase{"changes not in an array", {{"text", "x"}}, kUtf16, std::nullopt}));

TEST(Documents, OpenChangeCloseByTheirParams) {
  DocumentStore store;
  const auto opened = openedDocument(json::parse(
      R"({"textDocument":{"uri":"file:///a","languageId":"planprobe","version":3,"text":"x"}})"));
  ASSERT_EQ(opened.index(), 0u);
  store.open(std::get<0>(opened));
  EXPECT_FALSE(applyChange(store, json::parse(R"({"textDocument":{"uri":"file:///a","version":4},
                                                  "contentChanges":[{"text":"y"}]})"),
                           kUtf16));
  EXPECT_EQ(store.find("file:///a")->text, "y");
  EXPECT_TRUE(applyChange(store, json::parse(R"({"textDocument":{"uri":"file:///b","version":1},
                                                 "contentChanges":[]})"),
                          kUtf16));
  EXPECT_TRUE(applyChange(store, json::parse(R"({"contentChanges":[]})"), kUtf16));
  EXPECT_EQ(openedDocument(json::parse(R"({"textDocument":{"uri":"file:///a"}})")).index(), 1u);
  EXPECT_TRUE(store.close("file:///a"));
  EXPECT_FALSE(store.close("file:///a"));
  EXPECT_EQ(store.find("file:///a"), nullptr);
}

TEST(Documents, AShrunkTextGivesBackItsMemory) {
  DocumentStore store;
  store.open({"file:///big", "planprobe", 1, std::string(1 << 20, 'x')});
  ASSERT_FALSE(store.change("file:///big", 2, json::array({{{"text", "small"}}}), kUtf16));
  EXPECT_LT(store.find("file:///big")->text.capacity(), 1000u);
  ASSERT_FALSE(store.change("file:///big", 3, json::array({edit(0, 0, 0, 0, "")}), kUtf16));
  EXPECT_LT(store.find("file:///big")->text.capacity(), 1000u);
}

}  // namespace
}  // namespace quillmar::lsp
