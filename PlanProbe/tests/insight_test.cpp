// The "--" options end to end: exit status, diagnostics, summary counts, the site, the page,
// and that none of them changes the run's log or console.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <regex>
#include <sstream>

#include "session/session.h"
#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::readFile;
using testing::ScratchDir;
using testing::writeFile;

const std::string kExamples = QUILLMAR_SOURCE_DIR "/examples/";

struct Outcome {
  std::string console;
  std::string errors;
  int status;
  std::optional<RunSummary> summary;
};

Outcome runIn(const ScratchDir& dir, const std::vector<std::string>& args) {
  const testing::Args arguments(dir, args);
  std::ostringstream console;
  std::ostringstream errors;
  Session session(
      console, [] {}, &errors);
  const int status = session.run(arguments.view());
  return {console.str(), errors.str(), status, session.summary()};
}

// Every report with a line number in the log, in order, as "LINE NAME".
std::vector<std::string> logReports(const std::string& log) {
  static const std::regex report(
      "\r\n(\\d+) (?:Error: (\\w+)|(Warning): |Reported Response Number: (\\d+))");
  std::vector<std::string> out;
  for (auto it = std::sregex_iterator(log.begin(), log.end(), report); it != std::sregex_iterator();
       ++it) {
    const std::smatch& m = *it;
    out.push_back(m[1].str() + " " +
                  (m[2].matched   ? m[2].str()
                   : m[3].matched ? "ENDDATE_EARLIER"
                                  : "REJECTED_EVENT"));
  }
  return out;
}

TEST(InsightOptions, DiagnosticsFollowTheLogsReports) {
  ScratchDir dir;
  const std::string source = kExamples + "planprobe-mistakes.txt";
  const Outcome run = runIn(dir, {"-s" + source, "-o{dir}/o.txt", "-a", "--diagnostics"});
  std::vector<std::string> expected = logReports(readFile(dir.file("o.txt")));
  ASSERT_GE(expected.size(), 25U);
  const std::regex diagnostic(
      "^" + std::regex_replace(source, std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&") +
      ":(\\d+):(\\d+): (error|warning): (\\w+): ([^\n]+)\n  ([^\n]*)\n  ( *)\\^$");
  std::istringstream lines(run.errors);
  std::vector<std::string> physical;
  for (std::string line; std::getline(lines, line);) {
    physical.push_back(line);
  }
  const std::string text = readFile(source);
  std::vector<std::string> got;
  ASSERT_EQ(physical.size() % 3, 0U);
  for (size_t at = 0; at < physical.size(); at += 3) {
    ASSERT_LT(got.size(), expected.size());
    std::smatch m;
    const std::string three = physical[at] + "\n" + physical[at + 1] + "\n" + physical[at + 2];
    ASSERT_TRUE(std::regex_match(three, m, diagnostic)) << three;
    // The log's number, which the physical line can only exceed, and the same report.
    const std::string& logged = expected[got.size()];
    EXPECT_GE(std::stoul(m[1].str()), std::stoul(logged.substr(0, logged.find(' ')))) << three;
    got.push_back(logged.substr(0, logged.find(' ')) + " " + m[4].str());
    EXPECT_EQ(m[3].str() == "warning", m[4].str() == "ENDDATE_EARLIER") << three;
    EXPECT_NE(m[5].str().back(), ' ') << three;
    EXPECT_NE(text.find(m[6].str()), std::string::npos) << three;
    EXPECT_EQ(m[7].str().size() + 1, std::stoul(m[2].str())) << three;
  }
  EXPECT_EQ(got, expected);
}

// A schedule of two STARTSEQUENCE lines (parameters 1 and 2) drawn from `seed`: repeating by
// the minute, hour or day, some with an end date, some once only.
std::string generatedSchedule(unsigned seed) {
  std::mt19937 random(seed);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const auto two = [](int value) { return (value < 10 ? "0" : "") + std::to_string(value); };
  std::string text;
  for (int sequence = 1; sequence <= 2; ++sequence) {
    const int shape = pick(0, 4);  // minute, hour, day, day with an end, once only
    text += "D:01." + two(pick(1, 6)) + ".02 T:" + two(pick(0, 23)) + ":" + two(pick(0, 59));
    if (shape < 4) {
      static const char* const kPeriods[] = {"MINUTE", "HOUR", "DAY", "DAY"};
      text += std::string(" P:") + kPeriods[shape] +
              " R:" + std::to_string(shape == 0 ? pick(1, 40) : pick(1, 3));
    }
    text += shape == 3 ? " A:01.03.02 I:12:00" : "";
    text += " E:STARTSEQUENCE 1:" + std::to_string(sequence) + "\n";
  }
  return text;
}

TEST(InsightOptions, SummaryCountsAgreeWithTheLog) {
  static const std::regex command(
      "\r\n\\d\\d:\\d\\d ([ D])\\(\\d\\d:\\d\\d starttime\\) "
      "ElvaneStartSequence: (\\d)");
  int neverRan = 0;
  int lost = 0;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    ScratchDir dir;
    const std::string schedule = generatedSchedule(seed);
    writeFile(dir.file("s.txt"), schedule);
    const Outcome run =
        runIn(dir, {"-s{dir}/s.txt", "-o{dir}/o.txt", "-d010102", "+d4", "--summary"});
    ASSERT_TRUE(run.summary.has_value());
    const std::string log = readFile(dir.file("o.txt"));
    std::map<int, uint64_t> runs;
    std::map<int, uint64_t> wonDoubles;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), command);
         it != std::sregex_iterator(); ++it) {
      const int sequence = std::stoi((*it)[2].str());
      ++runs[sequence];
      wonDoubles[sequence] += (*it)[1].str() == "D" ? 1 : 0;
    }
    const std::vector<LineStats>& lines = run.summary->lines();
    ASSERT_EQ(lines.size(), 2U) << schedule;
    for (int sequence = 1; sequence <= 2; ++sequence) {
      const LineStats& stats = lines[static_cast<size_t>(sequence - 1)];
      EXPECT_EQ(stats.line, static_cast<uint32_t>(sequence));
      EXPECT_EQ(stats.runs, runs[sequence]) << schedule;
      // With two lines, each double occupancy that one wins the other loses.
      EXPECT_EQ(stats.losses, wonDoubles[3 - sequence]) << schedule;
      EXPECT_EQ(stats.lostTo, stats.losses > 0 ? static_cast<uint32_t>(3 - sequence) : 0U);
      const bool never = runs[sequence] == 0 && wonDoubles[3 - sequence] == 0;
      const std::string warning = "line " + std::to_string(sequence) + " (STARTSEQUENCE " +
                                  std::to_string(sequence) + ") never ran";
      EXPECT_EQ(run.console.find(warning) != std::string::npos, never) << schedule;
      neverRan += never ? 1 : 0;
      lost += stats.losses > 0 ? 1 : 0;
    }
  }
  // The seeds cover lines that never ran and lines that lost.
  EXPECT_GT(neverRan, 0);
  EXPECT_GT(lost, 0);
}

}  // namespace
}  // namespace quillmar::planprobe
