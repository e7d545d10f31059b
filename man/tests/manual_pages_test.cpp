// The manual pages against the programs they describe: a page that renders with warnings shows
// its reader broken text, and an option that --help and the page do not both list is one that
// a user is either told about wrongly or not at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

// Every page, named after its program.
constexpr const char* kPages[] = {
    "planprobe", "tildeconv", "quillmar-update", "QUILLmar_Update", "quillmar-bootsim",
};

// The programs whose --help is compared with their page's OPTIONS section.
constexpr const char* kProgramsWithHelp[] = {
    "planprobe", "tildeconv", "quillmar-update", "QUILLmar_Update", "quillmar-bootsim",
};

std::string pagePath(const std::string& page) {
  return std::string(QUILLMAR_MANUAL_DIR) + "/" + page + ".1";
}

// Runs `command` through the shell and returns what it wrote to standard output.
std::string commandOutput(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      output.append(buffer, got);
    pclose(pipe);
  }
  return output;
}

// The option names in `text`: "--word", "-x" or "+x" standing after a blank, a bracket, a bar or
// a comma, and not followed by a letter (so "-sschedule.txt" in an example is no option).
std::set<std::string> optionNames(const std::string& text) {
  static const std::regex option(
      R"((?:^|[\s\[(|,])(--[A-Za-z][A-Za-z0-9-]*|-[A-Za-z]|\+[a-z])(?![A-Za-z]))");
  std::set<std::string> names;
  for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
    names.insert((*it)[1]);
  return names;
}

// The tag lines (those after .TP or .TQ) of the page's OPTIONS section, as plain text: a font
// change counts as a blank, so "\fB\-s\fIfile" reads "-s file".
std::string optionTags(const std::string& page) {
  std::ifstream in(pagePath(page));
  std::string line;
  std::string tags;
  bool inOptions = false;
  bool tagNext = false;
  while (std::getline(in, line)) {
    if (line.starts_with(".SH")) {
      inOptions = line.find("OPTIONS") != std::string::npos;
      continue;
    }
    if (!inOptions)
      continue;
    if (line == ".TP" || line == ".TQ") {
      tagNext = true;
    } else if (tagNext) {
      line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), " ");
      line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
      line = std::regex_replace(line, std::regex(R"(^\.[BIR]+ )"), " ");
      tags += line + "\n";
      tagNext = false;
    }
  }
  return tags;
}

// The names of `names` that `other` lacks, blank-separated.
std::string missingFrom(const std::set<std::string>& names, const std::set<std::string>& other) {
  std::string missing;
  for (const std::string& name : names) {
    if (!other.contains(name))
      missing += " " + name;
  }
  return missing;
}

// A test name for `program`: its letters and digits.
std::string testName(const ::testing::TestParamInfo<const char*>& info) {
  std::string name = info.param;
  std::erase_if(name, [](char c) { return c == '-' || c == '_'; });
  return name;
}

class ManualPage : public ::testing::TestWithParam<const char*> {};

// As man shows it on Linux, and as the Windows packages' manuals are rendered (the register
// `windows` set, which picks the Windows text).
TEST_P(ManualPage, RendersWithoutWarnings) {
  std::ifstream page(pagePath(GetParam()));
  ASSERT_TRUE(page.good()) << pagePath(GetParam());
  for (const std::string registers : {"", "-rwindows=1 "}) {
    const std::string warnings = commandOutput("groff -man -ww -z -Tutf8 " + registers + "'" +
                                               pagePath(GetParam()) + "' 2>&1");
    EXPECT_EQ(warnings, "") << registers;
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, ManualPage, ::testing::ValuesIn(kPages), testName);

class ManualOptions : public ::testing::TestWithParam<const char*> {};

TEST_P(ManualOptions, AreTheOptionsOfHelp) {
  const std::string program = std::string(QUILLMAR_PROGRAM_DIR) + "/" + GetParam();
  // The dialog answers --help before it looks for a display.
  const std::set<std::string> help = optionNames(commandOutput("'" + program + "' --help"));
  const std::set<std::string> manual = optionNames(optionTags(GetParam()));
  ASSERT_FALSE(help.empty()) << program << " --help lists no options";
  EXPECT_EQ(help, manual) << "only in --help:" << missingFrom(help, manual)
                          << "\nonly in the manual:" << missingFrom(manual, help);
}

INSTANTIATE_TEST_SUITE_P(Programs, ManualOptions, ::testing::ValuesIn(kProgramsWithHelp), testName);

// The extraction itself, on the forms the help texts and pages use.
TEST(OptionNames, FindsOptionsNotWordsWithHyphens) {
  EXPECT_EQ(optionNames("  -h, --help  show\n  --port=PORT [--block] (see --list-ports)\n"),
            (std::set<std::string>{"-h", "--help", "--port", "--block", "--list-ports"}));
  EXPECT_EQ(optionNames("-s<file> +y<n> -d010302 a non-number -sschedule.txt <!--~--> -1"),
            (std::set<std::string>{"-s", "+y", "-d"}));
}

}  // namespace
