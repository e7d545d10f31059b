// The vocabularies as their readers see them: the results log and the diagnostics call each
// code alike, and a schedule file's words are the starts of the names the event report shows.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "insight/finding_text.h"
#include "schedule/repeat_period.h"
#include "schedule/report_result.h"

namespace quillmar::planprobe {
namespace {

// What the log writes for `code`, as it reaches the file.
std::string logged(ResultCode code) {
  std::string out;
  ResultsLog log(std::make_unique<StringSink>(out));
  reportResult(log, code, nullptr);
  log.flush();
  return out;
}

// True when the '_'-separated words of `name` stand in `text` in their order.
bool wordsInOrder(std::string_view name, std::string_view text) {
  size_t at = 0;
  while (!name.empty()) {
    const std::string_view word = name.substr(0, name.find('_'));
    at = text.find(word, at);
    if (at == std::string_view::npos) {
      return false;
    }
    at += word.size();
    name.remove_prefix(std::min(name.size(), word.size() + 1));
  }
  return true;
}

TEST(ResultCodes, TheLogAndTheDiagnosticsCallEachFailureAlike) {
  int named = 0;
  for (int number = FIRST_ERROR; number <= 255; ++number) {
    const auto code = static_cast<ResultCode>(number);
    const std::string text = logged(code);
    const FindingText finding = DescribeFinding(code);
    SCOPED_TRACE(text);
    EXPECT_EQ(finding.warning, code >= FIRST_WARNING);
    constexpr std::string_view kError = "\r\nError: ";
    constexpr std::string_view kWarning = "\r\nWarning: ";
    if (text.starts_with(kError)) {
      // The name, then only the tabs that pad it and the line end.
      const size_t end = text.find_first_of("\t\r", kError.size());
      EXPECT_EQ(finding.name, text.substr(kError.size(), end - kError.size()));
      EXPECT_EQ(text.find_first_not_of('\t', end), text.size() - 2);
    } else if (text.starts_with(kWarning)) {
      EXPECT_TRUE(wordsInOrder(finding.name, text)) << finding.name;
    } else {
      // No message of its own: the diagnostics name it by its number.
      EXPECT_TRUE(finding.name.ends_with("_" + std::to_string(number))) << finding.name;
      continue;
    }
    ++named;
    EXPECT_FALSE(finding.explanation.empty());
    for (const char c : finding.name) {
      EXPECT_TRUE(std::isupper(static_cast<unsigned char>(c)) || std::isdigit(c) || c == '_')
          << finding.name;
    }
  }
  EXPECT_GT(named, 0);
}

// Each row's file word is the upper-case start of the name the report shows for it.
template <typename Row, size_t N>
void expectWordsStartTheirNames(const Row (&table)[N]) {
  for (const Row& row : table) {
    std::string start;
    for (const char c : row.name.substr(0, row.word.text.size())) {
      start.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    EXPECT_EQ(row.word.text, start) << row.name;
  }
}

TEST(RepeatWords, EachFileWordStartsTheNameTheReportShows) {
  expectWordsStartTheirNames(kPeriods);
  expectWordsStartTheirNames(kSets);
}

}  // namespace
}  // namespace quillmar::planprobe
