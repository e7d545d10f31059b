// The built program run by the shell in a scratch folder, where the exit status, the console
// text and the files left behind are what matters.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "run.h"
#include "test_files.h"
#include "tilde_converter.h"

namespace quillmar::tildeconv {
namespace {

namespace fs = std::filesystem;

// Runs `script` with sh in `folder`, $TC naming the built converter; its exit status and what
// it wrote to standard output.
std::pair<int, std::string> runScript(const fs::path& folder, const std::string& script) {
  const std::string line =
      "cd '" + folder.string() + "' && TC='" TILDECONV_PROGRAM "' && " + script;
  FILE* pipe = popen(line.c_str(), "r");
  std::string console;
  char buffer[4096];
  for (size_t count; (count = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    console.append(buffer, count);
  }
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, console};
}

// `size` bytes of filler with `inserted` at offset `at`.
std::string pageWith(size_t size, size_t at, std::string_view inserted) {
  std::string page(size, 'a');
  page.replace(at, inserted.size(), inserted);
  return page;
}

const std::string kLocked = "page.syn: Couldn't open source file: Resource temporarily unavailable";
const std::string kReport0 = "Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.\n";

// Each case's page, if it has one, is written to page.htm; its script makes whatever else the
// case needs, then runs $TC. flock(1) holds a lock for another process, and an ignored SIGXFSZ
// makes writing past `ulimit -f` fail.
struct ProgramCase {
  std::string script;
  int status;
  std::string console;
  // Files afterwards: name and content, or no content when the file must not exist.
  std::vector<std::pair<std::string, std::optional<std::string>>> files;
  std::optional<std::string> page = {};
};

TEST(TildeconvProgram, StatusConsoleAndFiles) {
  std::vector<ProgramCase> cases = {
      {"printf 'a<!--~-->b~c' >page.htm; $TC page.htm",
       0,
       "page.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde.\n",
       {{"page.syn", "a~b~~c"}, {"page.htm", "a<!--~-->b~c"}}},
      {"echo an older and longer page >page.syn; printf '~' >page.htm; $TC page.htm",
       0,
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.\n",
       {{"page.syn", "~~"}}},
      {": >page.htm; $TC page.htm other.htm",
       0,
       "page.syn: " + kReport0,
       {{"page.syn", ""}, {"other.syn", std::nullopt}}},
      // --help begins with the usage lines and succeeds; without a page the usage fails.
      {"ln -s \"$TC\" tc; ./tc --help >help && head -n 3 help; ./tc",
       1,
       "usage: ./tc <sourcefile>.htm\n   or: ./tc <sourcefile>.html\n\n"
       "usage: ./tc <sourcefile>.htm\n   or: ./tc <sourcefile>.html\n",
       {}},
      {"$TC --version", 0, "tildeconv " QUILLMAR_VERSION "\n", {}},
      // Only as the sole argument; otherwise a page name as ever.
      {"$TC --version page.htm", 1, "Couldn't open source file: No such file or directory", {}},
      {"$TC absent.htm",
       1,
       "Couldn't open source file: No such file or directory",
       {{"absent.syn", std::nullopt}}},
      {"mkdir page.htm; $TC page.htm",
       1,
       "Couldn't open source file: Is a directory",
       {{"page.syn", std::nullopt}}},
      {": >page.htm; flock page.htm $TC page.htm",
       1,
       "Couldn't open source file: Resource temporarily unavailable",
       {{"page.syn", std::nullopt}}},
      {": >page.htm; mkdir page.syn; $TC page.htm",
       1,
       "page.syn: Couldn't open source file: Is a directory",
       {}},
      {": >page.htm; printf 'in use' >page.syn; flock -s page.syn $TC page.htm",
       1,
       kLocked,
       {{"page.syn", "in use"}}},
      {"printf 'a~b' >page.htm; ln -s page.htm page.syn; $TC page.htm",
       1,
       kLocked,
       {{"page.htm", "a~b"}}},
      {"head -c 100000 /dev/zero >page.htm; trap '' XFSZ; ulimit -f 8; $TC page.htm",
       1,
       "page.syn: Couldn't write output file page.syn: File too large\n",
       {{"page.syn", std::nullopt}}},
      // Reading a process's memory at address 0 fails with an I/O error.
      {"ln -s /proc/self/mem page.htm; $TC page.htm",
       1,
       "page.syn: Couldn't read source file page.htm: Input/output error\n",
       {{"page.syn", std::nullopt}}},
      // The page is read in blocks: a full one, and a marker left unfinished at its end.
      {"$TC page.htm",
       0,
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 65536 regular tilde's.\n",
       {{"page.syn", std::string(2 * kBlockSize, '~')}},
       std::string(kBlockSize, '~')},
      {"$TC page.htm",
       0,
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.\n",
       {{"page.syn", pageWith(kBlockSize + 1, kBlockSize - 7, "<!--~~--")}},
       pageWith(kBlockSize, kBlockSize - 7, "<!--~--")},
  };
  // A marker at every place around the ends of the first and second block.
  const size_t size = 2 * kBlockSize + 5000;
  for (const size_t boundary : {kBlockSize, 2 * kBlockSize}) {
    for (size_t at = boundary - kFeedbackMarker.size(); at <= boundary + 1; ++at) {
      cases.push_back({"$TC page.htm",
                       0,
                       "page.syn: Replaced 1 feedback tilde.    Duplicated 0 regular tilde's.\n",
                       {{"page.syn", pageWith(size - kFeedbackMarker.size() + 1, at, "~")}},
                       pageWith(size, at, kFeedbackMarker)});
    }
  }
  for (const auto& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases.data()) + ": " + c.script);
    testing::ScratchFolder folder;
    if (c.page) {
      testing::writeFile(folder / "page.htm", *c.page);
    }
    const auto [status, console] = runScript(folder.path(), c.script);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(console, c.console);
    for (const auto& [name, content] : c.files) {
      if (content) {
        EXPECT_EQ(testing::readFile(folder / name), *content) << name;
      } else {
        EXPECT_FALSE(fs::exists(folder / name)) << name << " was left behind";
      }
    }
  }
}

// A program started without even its own name still gets a usable usage text.
TEST(TildeconvProgram, UsageWithoutAProgramName) {
  const char* const none[] = {nullptr};
  std::ostringstream console;
  EXPECT_EQ(runTildeconv(0, none, console), 1);
  EXPECT_EQ(console.str(),
            "usage: tildeconv <sourcefile>.htm\n   or: tildeconv <sourcefile>.html\n");
}

}  // namespace
}  // namespace quillmar::tildeconv
