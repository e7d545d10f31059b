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

TEST(InsightOptions, StrictExitStatus) {
  struct Row {
    std::string schedule;
    std::vector<std::string> extra;
    int status;
  };
  const std::string clean = "D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1\n";
  const std::string warned = "D:06.01.02 A:05.01.02 T:12:30 P:DAY R:1 E:ON 1:1\n";
  const std::string response = "D:01.03.02 T:12:30 P:DAY R:0 E:ON 1:1\n";
  const std::string error = clean + "D:13.01.02 T:12:30 E:ON 1:1\n";
  for (const Row& row : {
           Row{clean, {}, 0},
           Row{clean, {"--strict"}, 0},
           Row{error, {}, 0},
           Row{error, {"--strict"}, 1},
           Row{error, {"--strict", "-a"}, 1},
           Row{warned, {"--strict"}, 1},
           Row{response, {"--strict"}, 1},
           Row{response, {"--strict", "--summary", "--diagnostics"}, 1},
       }) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), row.schedule);
    std::vector<std::string> args = {"-s{dir}/s.txt", "-o{dir}/o.txt", "+d1"};
    args.insert(args.end(), row.extra.begin(), row.extra.end());
    EXPECT_EQ(runIn(dir, args).status, row.status) << row.schedule << row.extra.size();
  }
  ScratchDir dir;  // a run that fails keeps its own status
  EXPECT_EQ(runIn(dir, {"-s{dir}/none.txt", "-o{dir}/o.txt", "--strict"}).status, -1);
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
  const std::vector<std::string> expected = logReports(readFile(dir.file("o.txt")));
  ASSERT_GE(expected.size(), 25U);
  const std::regex diagnostic(
      "^" + std::regex_replace(source, std::regex("[.^$|()\\[\\]{}*+?\\\\]"), "\\$&") +
      ":(\\d+): (error|warning): (\\w+): ([^\n]+)\n  ([^\n]*)$");
  std::istringstream lines(run.errors);
  const std::string text = readFile(source);
  std::vector<std::string> got;
  for (std::string first, second; std::getline(lines, first) && std::getline(lines, second);) {
    std::smatch m;
    const std::string both = first + "\n" + second;
    ASSERT_TRUE(std::regex_match(both, m, diagnostic)) << both;
    got.push_back(m[1].str() + " " + m[3].str());
    EXPECT_EQ(m[2].str() == "warning", m[3].str() == "ENDDATE_EARLIER") << both;
    EXPECT_NE(m[4].str().back(), ' ') << both;
    EXPECT_NE(text.find(m[5].str()), std::string::npos) << both;
  }
  EXPECT_EQ(got, expected);
  EXPECT_NE(run.errors.find(":3: error: BAD_STARTHOUR: "), std::string::npos);
  EXPECT_NE(run.errors.find("\n  D:01.03.02 T: 12:30 P:DAY R:1 E:ON 1:1"), std::string::npos);
  // After a text that runs over a line end, the log numbers lines one lower than the file.
  EXPECT_NE(run.errors.find(":31: error: BAD_STARTHOUR: the start time (T:) must be two-digit "),
            std::string::npos);
  EXPECT_NE(run.errors.find("\n  D:06.01.02 T:99:99 E:ON 1:1 "), std::string::npos);
}

TEST(InsightOptions, LogAndConsoleUnchanged) {
  const std::string source = kExamples + "planprobe-schedule.txt";
  const std::vector<std::string> base = {"-s" + source, "-o{dir}/o.txt", "-d072402", "+d3"};
  ScratchDir plainDir;
  const Outcome plain = runIn(plainDir, base);
  const std::string plainLog = readFile(plainDir.file("o.txt"));
  ASSERT_FALSE(plainLog.empty());
  for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
           {"--strict"},
           {"--diagnostics"},
           {"--summary"},
           {"--timeline", "{dir}/t.html"},
           {"--timeline={dir}/t.html", "--summary", "--strict", "--diagnostics", "--site=0,0,0"},
       }) {
    ScratchDir dir;
    std::vector<std::string> args = base;
    args.insert(args.begin(), extra.begin(), extra.end());
    const Outcome run = runIn(dir, args);
    EXPECT_EQ(readFile(dir.file("o.txt")), plainLog) << extra[0];
    EXPECT_EQ(run.status, plain.status) << extra[0];
    // The summary follows everything the plain run shows; the folders' names differ.
    std::string shown = run.console;
    const std::string folder = dir.path().string();
    for (size_t at = shown.find(folder); at != std::string::npos; at = shown.find(folder, at)) {
      shown.replace(at, folder.size(), plainDir.path().string());
    }
    EXPECT_EQ(shown.substr(0, plain.console.size()), plain.console) << extra[0];
    const bool summary = std::find(extra.begin(), extra.end(), "--summary") != extra.end();
    EXPECT_EQ(shown.size() == plain.console.size(), !summary) << extra[0];
  }
}

TEST(InsightOptions, UnknownDashWordsAndBadValues) {
  struct Row {
    std::vector<std::string> args;
    std::string console;  // expected to appear
    int status;
    bool logCreated;
  };
  const std::string s = "-s{dir}/s.txt";
  const std::string o = "-o{dir}/o.txt";
  const std::string range = "latitude -90 to 90";
  const std::string kSchedule = "D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1\n";
  for (const Row& row : {
           Row{{s, o, "-a", "--bogus"}, "unknown argument: --bogus ", 0, true},
           Row{{s, o, "-a", "--"}, "unknown argument: -- ", 0, true},
           Row{{s, o, "-a", "--strict=1"}, "unknown argument: --strict=1 ", 0, true},
           Row{{s, o, "-a", "--Summary"}, "unknown argument: --Summary ", 0, true},
           Row{{s, o, "--timeline"},
               "Error: --timeline needs a value: --timeline FILE\n",
               -1,
               false},
           Row{{s, o, "--timeline="}, "--timeline needs a value", -1, false},
           Row{{s, o, "--site", "91,0,0"}, "--site 91,0,0 is not a valid site", -1, false},
           Row{{s, o, "--site=0,181,0"}, "--site 0,181,0 is not a valid site", -1, false},
           Row{{s, o, "--site=-91.0,0,0"}, range, -1, false},
           Row{{s, o, "--site=0,0,14"}, range, -1, false},
           Row{{s, o, "--site=0,0,-14"}, range, -1, false},
           Row{{s, o, "--site=0,0,300"}, range, -1, false},
           Row{{s, o, "--site=0,0,1.5"}, range, -1, false},
           Row{{s, o, "--site=1,2"}, range, -1, false},
           Row{{s, o, "--site=1,2,3,4"}, range, -1, false},
           Row{{s, o, "--site=north,0,0"}, range, -1, false},
           Row{{s, o, "--site=nan,0,0"}, range, -1, false},
           Row{{s, o, "--site", "--summary"}, range, -1, false},
           Row{{s, o, "-a", "--site=90.9,-180.5,-13"}, "Analyze option used", 0, true},
           Row{{s, o, "-a", "--site", "-90.9,180.9,13"}, "Analyze option used", 0, true},
           Row{{s, o, "--timeline", "{dir}/./s.txt"}, "is the schedule file", -1, false},
           Row{{s, o, "--timeline={dir}/o.txt"},
               "is the results file {dir}/o.txt itself",
               -1,
               false},
           Row{{s, o, "--help"}, "  --site LAT,LON,TZ ", 0, false},
           Row{{s, o, "--version", "--bogus"}, "planprobe 1.0.0\n", 0, false},
       }) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"), kSchedule);
    const Outcome run = runIn(dir, row.args);
    EXPECT_NE(run.console.find(dir.expand(row.console)), std::string::npos)
        << row.args.back() << run.console;
    EXPECT_EQ(readFile(dir.file("s.txt")), kSchedule) << row.args.back();
    EXPECT_EQ(run.status, row.status) << row.args.back();
    EXPECT_EQ(std::filesystem::exists(dir.file("o.txt")), row.logCreated) << row.args.back();
  }
}

TEST(InsightOptions, SiteMovesSunTimes) {
  // Worked out by hand from the solar formulas, term by term, for sites north and south,
  // east and west, and both poles' summer (the Sun up all day: the times meet at midnight).
  struct Row {
    const char* site;
    const char* date;
    const char* rise;
    const char* set;
  };
  for (const Row& row : {
           Row{"0,0,0", "072402", "06:06", "18:06"},
           Row{"40,-75,5", "072402", "04:52", "19:20"},
           Row{"60,10,-1", "062102", "02:56", "21:47"},
           Row{"-33.87,151.21,-10", "062102", "07:01", "16:51"},
           Row{"-33.87,151.21,-10", "122102", "04:42", "19:03"},
           Row{"-34.6,-58.4,3", "072402", "07:55", "18:04"},
           Row{"80,0,0", "062102", "00:01", "00:01"},
           Row{"80,0,0", "122102", "11:57", "11:57"},
           Row{"-80,0,0", "122102", "23:57", "23:57"},
       }) {
    ScratchDir dir;
    writeFile(dir.file("s.txt"),
              "D:01.01.02 T:SUNRISE P:DAY R:1 E:ON 1:1\nD:01.01.02 T:SUNSET P:DAY R:1 E:OFF 1:1\n");
    const Outcome run = runIn(dir, {"-s{dir}/s.txt", "-o{dir}/o.txt", std::string("-d") + row.date,
                                    "-a", std::string("--site=") + row.site});
    ASSERT_EQ(run.status, 0) << row.site;
    const std::string log = readFile(dir.file("o.txt"));
    EXPECT_NE(log.find(std::string("T:") + row.rise + " R:1 P:Day E:ON"), std::string::npos)
        << row.site << " " << row.date << "\n"
        << log;
    EXPECT_NE(log.find(std::string("T:") + row.set + " R:1 P:Day E:OFF"), std::string::npos)
        << row.site << " " << row.date;
  }
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

TEST(InsightOptions, SummaryWarnsOfRolloverAndNoPrecedence) {
  ScratchDir dir;
  // A boot-start line with a day period meets a plain line at the boot time on a later day:
  // no precedence. Once the year has rolled over to 00, neither has started yet.
  writeFile(dir.file("s.txt"),
            "D:12.30.99 T:BOOT P:DAY R:1 E:ON 1:1\nD:12.30.99 T:12:00 P:DAY R:1 E:OFF 1:1\n");
  const Outcome run =
      runIn(dir, {"-s{dir}/s.txt", "-o{dir}/o.txt", "-d123099", "-t1200", "+d3", "--summary"});
  ASSERT_TRUE(run.summary.has_value());
  EXPECT_TRUE(run.summary->yearRolledOver());
  EXPECT_EQ(run.summary->unknownMinutes(), 1U);
  EXPECT_NE(run.console.find("1 minute(s) wrote \"Unknown Event Type\""), std::string::npos);
  EXPECT_NE(run.console.find("the first on 31.12.99 12:00"), std::string::npos);
  EXPECT_NE(run.console.find("two-digit year rolls over"), std::string::npos);
  // Loads only: no line is said never to have run, since no minute ran at all.
  const Outcome loads = runIn(dir, {"-s{dir}/s.txt", "-o{dir}/o.txt", "-l", "+d3", "--summary"});
  EXPECT_NE(loads.console.find("no minute was executed"), std::string::npos);
  EXPECT_EQ(loads.console.find("never"), std::string::npos);
}

}  // namespace
}  // namespace quillmar::planprobe
