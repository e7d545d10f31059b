// The writing help against the parser: what it offers is what the parser accepts, its mends
// leave the line without a finding, and its outline and words follow the example schedule.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "assist/completion.h"
#include "assist/event_words.h"
#include "assist/line_fields.h"
#include "assist/outline.h"
#include "assist/quick_fix.h"

namespace quillmar::planprobe {
namespace {

// The labels offered where `marked` has its '|', joined by blanks.
std::string offered(const std::string& marked, size_t* replaceFrom = nullptr) {
  std::string text = marked;
  const size_t at = text.find('|');
  text.erase(at, 1);
  std::string labels;
  for (const CompletionItem& item : CompletionsAt(text, at)) {
    labels += (labels.empty() ? "" : " ") + item.label;
    if (replaceFrom != nullptr) {
      *replaceFrom = item.replaceFrom;
    }
  }
  return labels;
}

// The one parsed line of `text`.
ParsedLine parsedLine(const std::string& text) {
  ParsedSchedule parsed = ParseText(text);
  EXPECT_EQ(parsed.lines.size(), 1u) << text;
  return parsed.lines.empty() ? ParsedLine{} : parsed.lines.front();
}

TEST(Completion, OffersWhatThePlaceTakes) {
  const std::string kTags = "D: T: P: R: S: A: I: E: 1: 2: 3: 4:";
  const struct {
    const char* text;
    std::string labels;
  } cases[] = {
      {"|", kTags},
      {"D:01.01.02 |", kTags},
      {"D:01.01.02 t|", "T:"},
      {"E:ON 1:1\t|", kTags},  // a tab ends the parameter list
      {"E:ON 1:1 |", "1: 2: 3: 4:"},
      {"E:ON 1:1,3|", "3:"},
      {"E:STA|", "STARTSEQUENCE"},
      {"E:s|", "SENDSTRING STARTSEQUENCE STOP SETVAREQ"},
      {"D:01.01.02 P:S|", "SUNDAY SUN SATURDAY SAT SUNRISE SUNSET"},
      {"P:mon|", "MONDAY MON"},
      {"S:JU|", "JUNE JUN JULY JUL"},
      {"T:|", "SUNRISE SUNSET BOOT"},
      {"I:|", "SUNRISE SUNSET"},
      {"T:06:3|", ""},
      {"E:SENDSTRING 1:\"a b|", ""},
      {"E:SENDSTRING 1:\"two\nlines |", ""},
      {"E:SENDSTRING 1:\"x;y\" |", "1: 2: 3: 4:"},
      {"E:ON ; a comment |", ""},
      {"T:25:00 E:|", ""},  // the parser skips the rest of the line
      {"T:06:30x|", ""},
      {"E:DEFAULTWEBPAGE 1:\"a\nb\"\nD|", "D:"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(offered(c.text), c.labels) << c.text;
  }
  size_t from = 0;
  offered("D:01.01.02 E:STA|", &from);
  EXPECT_EQ(from, 13u);
}

// Every word offered in a field's value is read by the parser as what it is offered for.
TEST(Completion, EveryOfferedWordIsOneTheParserAccepts) {
  const struct {
    const char* field;
    const char* line;  // with the word for "@"
  } fields[] = {
      {"E:", "D:01.01.02 T:06:30 E:@ 1:1"},
      {"P:", "D:01.01.02 T:06:30 P:@ R:1 E:ON 1:1"},
      {"S:", "D:01.01.02 T:06:30 P:DAY R:1 S:@ E:ON 1:1"},
      {"T:", "D:01.01.02 T:@ E:ON 1:1"},
      {"I:", "D:01.01.02 T:06:30 I:@ E:ON 1:1"},
  };
  for (const auto& f : fields) {
    const std::string prefix = std::string(f.field) + "|";
    std::stringstream words(offered(prefix));
    int count = 0;
    for (std::string word; words >> word; ++count) {
      std::string line = f.line;
      line.replace(line.find('@'), 1, word);
      EXPECT_EQ(parsedLine(line).report, SUCCESS) << line;
    }
    EXPECT_GT(count, 1) << f.field;
  }
}

// A character is offered as a tag exactly when the parser reads a field after it.
TEST(Completion, TagsAreTheLettersTheParserReads) {
  const std::string tags = offered("|");
  for (int c = 1; c < 256; ++c) {
    const char letter = static_cast<char>(c);
    if (letter == 'R' || letter == 'r') {
      continue;  // a count reads no digit without complaint: checked by the period below
    }
    const std::string line = std::string("D:01.01.02 E:ON ") + letter + ":@";
    const ParsedSchedule parsed = ParseText(line);
    const bool blamed = !parsed.lines.empty() && parsed.lines[0].at == 16;
    const char upper = letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter;
    EXPECT_EQ(blamed, tags.find(std::string(1, upper) + ":") != std::string::npos) << c;
  }
  EXPECT_EQ(parsedLine("D:01.01.02 P:DAY r:1 E:ON").report, SUCCESS);
}

// The text of `path` below the project.
std::string projectFile(const std::string& path) {
  std::ifstream in(std::string(QUILLMAR_SOURCE_DIR) + "/" + path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Outline, GroupsTheExampleByItsHeadings) {
  const std::vector<OutlineSection> sections =
      OutlineOf(projectFile("examples/planprobe-schedule.txt"));
  const std::pair<std::string, size_t> expected[] = {
      {"Power-up", 2},
      {"Every day", 5},
      {"Working days and weekends", 8},
      {"Sun-driven", 4},
      {"Repeating within the day", 3},
      {"Months and years", 6},
      {"Once only", 5},
  };
  ASSERT_EQ(sections.size(), std::size(expected));
  for (size_t i = 0; i < sections.size(); ++i) {
    EXPECT_EQ(sections[i].name, expected[i].first);
    EXPECT_EQ(sections[i].events.size(), expected[i].second) << sections[i].name;
  }
  const OutlineSymbol& lights = sections[1].events[0];
  EXPECT_EQ(lights.name, "ON 1 \u00b7 06:30");
  EXPECT_EQ(lights.detail, "every day");
  EXPECT_EQ(lights.line, 10u);
  const OutlineSymbol& ping = sections[4].events[0];
  EXPECT_EQ(ping.name, "SENDSTRING \"PING\" \u00b7 every hour");
  EXPECT_EQ(ping.detail, "from 09:00");
  EXPECT_EQ(sections[0].events[0].name, "DEFAULTWEBPAGE \"index.htm\" \u00b7 boot");
}

TEST(Outline, UnnamedTopSectionFaultyLinesAndLongLines) {
  const std::string text =
      "D:01.01.02 T:06:30 E:ON 1:1\n; --- Texts ---\nD:01.01.02 T:99:00 E:ON 1:1\n"
      "D:01.01.02 T:07:00 E:DEFAULTWEBPAGE 1:\"a\nb\"\n";
  const std::vector<OutlineSection> sections = OutlineOf(text);
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].name, "");
  EXPECT_EQ(sections[0].events.size(), 1u);
  ASSERT_EQ(sections[1].events.size(), 1u);  // the faulty line is left out
  const OutlineSymbol& page = sections[1].events[0];
  EXPECT_EQ(text.substr(page.start, page.end - page.start),
            "D:01.01.02 T:07:00 E:DEFAULTWEBPAGE 1:\"a\nb\"");
  EXPECT_EQ(text.substr(page.nameStart, page.nameEnd - page.nameStart), "E:DEFAULTWEBPAGE");
  EXPECT_EQ(page.line, 4u);
  EXPECT_EQ(sections[1].end, text.size() - 1);
}

TEST(Outline, Headings) {
  const struct {
    const char* line;
    const char* name;
  } cases[] = {
      {"; --- Every day -----", "Every day"},
      {"  ;=== X ===\r", "X"},
      {"; *** A b ****", "A b"},
      {"; -- X --", ""},
      {"; --- X", ""},
      {"; --- X ===", ""},
      {"; ---------", ""},
      {"D:01.01.02 ; --- X ---", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HeadingName(c.line), c.name) << c.line;
  }
}

TEST(QuickFix, MendsLeaveNoFindingAndGuessesGetNone) {
  const struct {
    const char* line;
    const char* mended;  // "" for no mend
  } cases[] = {
      {"D:01.03.02 T:12:5 E:ON 1:1", "D:01.03.02 T:12:05 E:ON 1:1"},
      {"D:01.03.02 T:12.30 E:ON 1:1", "D:01.03.02 T:12:30 E:ON 1:1"},
      {"D:01.03.02 T:0630 E:ON 1:1", "D:01.03.02 T:06:30 E:ON 1:1"},
      {"D:01.03.02 T:09:00 P:HOUR R:1 A:12.31.02 I:18-00 E:ON",
       "D:01.03.02 T:09:00 P:HOUR R:1 A:12.31.02 I:18:00 E:ON"},
      {"D:01.03.02 T: 12:30 E:ON 1:1", "D:01.03.02 T:12:30 E:ON 1:1"},
      {"D:01.03.02 T:12:30 E:  ON 1:1", "D:01.03.02 T:12:30 E:ON 1:1"},
      {"D:01 03 02 T:12:30 E:ON 1:1", "D:01.03.02 T:12:30 E:ON 1:1"},
      {"D:01.03.02 T:12:30 P:DAY R:1 A:12,31,2002 E:ON",
       "D:01.03.02 T:12:30 P:DAY R:1 A:12.31.2002 E:ON"},
      {"D:01.03.02 T:24:00 E:ON 1:1", ""},
      {"D:01.03.02 T:12.75 E:ON 1:1", ""},
      {"D:01.03.02 T:NOON E:ON 1:1", ""},
      {"D:01.03.02 T: 25:00 E:ON 1:1", ""},
      {"D:02.29.01 T:12:30 E:ON 1:1", ""},
      {"D:04 31 02 T:12:30 E:ON 1:1", ""},
      {"D:01.03.202 T:12:30 E:ON 1:1", ""},
      {"D:01.03.02 T:12:30 P:DAYS R:1 E:ON 1:1", ""},
      {"D:01.03.02 T:12:30 E: SWITCHON 1:1", ""},
      {"D:01.03.02 T:12:30 E:SENDSTRING 1:\"AT\\q\"", ""},
      {"D:01.03.02 T:12:30 P:DAY E:ON 1:1", ""},  // no count: the line, not a field
  };
  for (const auto& c : cases) {
    const std::string text = std::string("; a schedule\n") + c.line + "\n";
    const ParsedLine line = parsedLine(text);
    ASSERT_NE(line.report, SUCCESS) << c.line;
    const std::optional<TextMend> mend =
        MendFor(text, Finding{line.number, line.report, line.start, line.at});
    EXPECT_EQ(mend.has_value(), *c.mended != '\0') << c.line;
    if (mend) {
      std::string mended = text;
      mended.replace(mend->from, mend->to - mend->from, mend->replacement);
      EXPECT_EQ(mended, std::string("; a schedule\n") + c.mended + "\n") << mend->title;
      EXPECT_EQ(parsedLine(mended).report, SUCCESS) << mended;
    }
  }
}

// Over every place of the mistakes file: offers replace only what precedes the cursor, and
// every mend offered leaves its line without a finding.
TEST(QuickFix, TheMistakesFile) {
  const std::string text = projectFile("examples/planprobe-mistakes.txt");
  for (size_t offset = 0; offset <= text.size(); ++offset) {
    for (const CompletionItem& item : CompletionsAt(text, offset)) {
      EXPECT_LE(item.replaceFrom, offset);
    }
  }
  int mends = 0;
  for (const ParsedLine& line : ParseText(text).lines) {
    const std::optional<TextMend> mend =
        MendFor(text, Finding{line.number, line.report, line.start, line.at});
    if (mend) {
      std::string mended = text;
      mended.replace(mend->from, mend->to - mend->from, mend->replacement);
      for (const ParsedLine& after : ParseText(mended).lines) {
        EXPECT_FALSE(after.start == line.start && after.report != SUCCESS) << mend->title;
      }
      ++mends;
    }
  }
  EXPECT_EQ(mends, 4);  // the blank, the one-digit minute, the dot, the blank-separated date
}

TEST(EventWords, EachTagInASentence) {
  const struct {
    const char* line;
    const char* words;
  } cases[] = {
      {"D:07.24.02 T:06:30 P:DAY R:1 E:ON 1:1",
       "starts 2002-07-24, Wednesday | at 06:30 | every day | ON with 1"},
      {"D:01.01.02 T:12:00 P:DAY R:2 E:SETVAREQ 1:3 2:200",
       "starts 2002-01-01, Tuesday | at 12:00 | every 2nd day | SETVAREQ with 3, 200"},
      {"D:01.07.02 T:08:00 P:MON R:2 E:STOP 1:4",
       "starts 2002-01-07, Monday | at 08:00 | every Monday | STOP with 4"},
      {"D:01.01.02 T:00:00 P:MINUTE R:15 E:SETVAREQ 1:1 2:h7F",
       "starts 2002-01-01, Tuesday | at 00:00 | every 15 minutes | SETVAREQ with 1, h7F"},
      {"D:04.01.02 T:09:00 E:DEFAULTWEBPAGE 1:\"sale.htm\"",
       "starts 2002-04-01, Monday | at 09:00 | once | DEFAULTWEBPAGE with \"sale.htm\""},
      {"D:01.01.02 T:BOOT E:RESET", "starts 2002-01-01, Tuesday | at boot | once | RESET"},
      {"D:06-01-2002 T:SUNSET P:FRIDAY R:1 A:08-30-2002 E:ON 1:3",
       "starts 2002-06-01, Saturday | at sunset (SUNSET on the start date) | every Friday | "
       "until 2002-08-30 | ON with 3"},
      {"D:01.01.02 T:06:00 P:DAY R:15 S:JUNE E:STOP 1:30",
       "starts 2002-01-01, Tuesday | at 06:00 | on day 15 of the month | in June | STOP with 30"},
      {"D:01.01.02 T:08:00 P:MONDAY R:1 S:MONTH E:STOP 1:31",
       "starts 2002-01-01, Tuesday | at 08:00 | the Monday in week 1 of the month | in every month "
       "| STOP with 31"},
      {"D:01.01.02 T:09:00 P:HOUR R:1 A:12.31.02 I:18:00 E:SENDSTRING 1:\"PING\" 2:\"PONG\"",
       "starts 2002-01-01, Tuesday | at 09:00 | every hour | until 2002-12-31 | until 18:00 | "
       "SENDSTRING with \"PING\", \"PONG\""},
  };
  const SolarResult sunset = SolarEventTime(0, SolarDate{2, 6, 1, 0});
  char sunsetText[8];
  std::snprintf(sunsetText, sizeof sunsetText, "%02d:%02d", sunset.time.hour % 100,
                sunset.time.minute % 100);
  for (const auto& c : cases) {
    const std::string text = std::string("; a schedule\n") + c.line;
    const std::optional<EventWords> words = EventWordsAt(text, text.size() - 1);
    ASSERT_TRUE(words.has_value()) << c.line;
    std::string joined;
    for (const std::string& w : words->lines) {
      joined += (joined.empty() ? "" : " | ") + w;
    }
    std::string expected = c.words;
    if (const size_t at = expected.find("SUNSET on"); at != std::string::npos) {
      expected.replace(at, 6, sunsetText);
    }
    EXPECT_EQ(joined, expected);
    EXPECT_EQ(words->start, 13u);
  }
  EXPECT_FALSE(EventWordsAt("; a comment\nD:01.01.02 T:99:00 E:ON\n", 3));
  EXPECT_FALSE(EventWordsAt("; a comment\nD:01.01.02 T:99:00 E:ON\n", 20));
}

}  // namespace
}  // namespace quillmar::planprobe
