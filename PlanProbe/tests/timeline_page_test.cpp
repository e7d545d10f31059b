// The timeline page's structure: well-formed, self-contained, every executed command marked,
// and small for the longest span.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

#include "session/session.h"
#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::readFile;
using testing::ScratchDir;

// Empty when every element of `page` is closed in order and every entity is a reference;
// otherwise what is wrong and where.
std::string wellFormedness(const std::string& page) {
  std::vector<std::string> open;
  for (size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
    const size_t end = page.find('>', at);
    if (end == std::string::npos) {
      return "unclosed tag at " + std::to_string(at);
    }
    const std::string tag = page.substr(at + 1, end - at - 1);
    if (tag.find('<') != std::string::npos) {
      return "'<' inside a tag at " + std::to_string(at);
    }
    if (tag.starts_with("!DOCTYPE") || tag.ends_with("/")) {
      continue;
    }
    const std::string name =
        tag.substr(tag[0] == '/' ? 1 : 0, tag.find_first_of(" /", 1) - (tag[0] == '/' ? 1 : 0));
    if (tag[0] != '/') {
      open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return "</" + name + "> closes " + (open.empty() ? "nothing" : open.back()) + " at " +
             std::to_string(at);
    } else {
      open.pop_back();
    }
  }
  static const std::regex badEntity("&(?![a-z]+;|#[0-9]+;)");
  if (std::regex_search(page, badEntity)) {
    return "a bare '&'";
  }
  return open.empty() ? "" : "<" + open.back() + "> is never closed";
}

std::string runToPage(const ScratchDir& dir, const std::string& span) {
  const testing::Args args(dir, {"-s" QUILLMAR_SOURCE_DIR "/examples/planprobe-schedule.txt",
                                 "-o{dir}/o.txt", "-d072402", span, "--timeline", "{dir}/t.html"});
  std::ostringstream console;
  Session session(console, [] {});
  EXPECT_EQ(session.run(args.view()), 0);
  return readFile(dir.file("t.html"));
}

size_t count(const std::string& text, const std::regex& pattern) {
  return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                                           std::sregex_iterator()));
}

TEST(TimelinePage, WellFormedSelfContainedAndComplete) {
  ScratchDir dir;
  const std::string page = runToPage(dir, "+w2");
  ASSERT_TRUE(page.starts_with("<!DOCTYPE html>\n<html")) << page.substr(0, 80);
  EXPECT_EQ(wellFormedness(page), "");
  for (const char* external :
       {"http:", "https:", "src=", "href=", "<script", "<link", "@import", "url(", "@font-face"}) {
    EXPECT_EQ(page.find(external), std::string::npos) << external;
  }
  // One mark per device command line of the log, titled by that line.
  const std::string log = readFile(dir.file("o.txt"));
  const size_t commands =
      count(log, std::regex("\r\n\\d\\d:\\d\\d [ D]\\(\\d\\d:\\d\\d starttime"));
  const std::regex mark(
      "<b class=\"m k5\\d( d)?\" style=\"left:[0-9.]+%\" title=\"(\\d\\d:\\d\\d "
      "[ D]\\(\\d\\d:\\d\\d starttime\\) Elvane[^\"]*)\"");
  EXPECT_GT(commands, 500U);
  EXPECT_EQ(count(page, mark), commands);
  EXPECT_EQ(count(page, std::regex("<div class=\"row\">")), 14U);
  for (const char* part : {"<h2>Legend</h2>", "<h2>Summary</h2>", "<h2>Analysis findings</h2>",
                           "ElvaneSendString: PING&#10;             Ack: PONG&#10;"}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }
}

TEST(TimelinePage, LongSpanIsCondensedAndSmall) {
#ifdef _WIN32
  GTEST_SKIP() << "writing the 99-year log takes over a minute under Wine; Linux checks the page";
#endif
  ScratchDir dir;
  const std::string page = runToPage(dir, "+y99");
  EXPECT_EQ(wellFormedness(page), "");
  EXPECT_LE(page.size(), 5U * 1000 * 1000);
  EXPECT_EQ(count(page, std::regex("<div class=\"row\">")), 35U);
  // 99 years of 365 days from 24 July 2002, less the five weeks shown in full.
  EXPECT_GE(count(page, std::regex("<tr><td>\\d{4}-\\d\\d</td>")), 99U * 12 - 2);
  // No temporary file is left beside the page.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

}  // namespace
}  // namespace quillmar::planprobe
