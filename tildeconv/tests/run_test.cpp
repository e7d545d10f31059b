#include "run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "test_files.h"
#include "tilde_converter.h"

namespace quillmar::tildeconv {
namespace {

using testing::ScratchFolder;

struct Outcome {
  int status;
  std::string console;
  std::string output;
};

// Runs the converter on `page` written to page.htm in a scratch folder.
Outcome convertPage(const std::string& page) {
  ScratchFolder folder;
  testing::writeFile(folder / "page.htm", page);
  const std::string source = (folder / "page.htm").string();
  const char* const argv[] = {"tildeconv", source.c_str()};
  std::ostringstream console;
  const int status = runTildeconv(2, argv, console);
  return {status, console.str(), testing::readFile(folder / "page.syn")};
}

// `size` bytes of filler with `inserted` at offset `at`.
std::string pageWith(size_t size, size_t at, std::string_view inserted) {
  std::string page(size, 'a');
  page.replace(at, inserted.size(), inserted);
  return page;
}

TEST(RunTildeconv, AFullBlockOfTildesIsWrittenWhole) {
  const Outcome got = convertPage(std::string(kBlockSize, '~'));
  EXPECT_EQ(got.status, 0);
  EXPECT_EQ(got.output, std::string(2 * kBlockSize, '~'));
  EXPECT_TRUE(
      got.console.ends_with(": Replaced 0 feedback tilde's.  Duplicated 65536 regular tilde's.\n"))
      << got.console;
}

TEST(RunTildeconv, FindsMarkersAcrossBlockBoundaries) {
  const size_t size = 2 * kBlockSize + 5000;
  for (const size_t boundary : {kBlockSize, 2 * kBlockSize}) {
    for (size_t at = boundary - kFeedbackMarker.size(); at <= boundary + 1; ++at) {
      const Outcome got = convertPage(pageWith(size, at, kFeedbackMarker));
      EXPECT_EQ(got.status, 0);
      EXPECT_EQ(got.output, pageWith(size - kFeedbackMarker.size() + 1, at, "~"))
          << "marker at " << at;
      EXPECT_TRUE(
          got.console.ends_with(": Replaced 1 feedback tilde.    Duplicated 0 regular tilde's.\n"))
          << "marker at " << at << ": " << got.console;
    }
  }
}

TEST(RunTildeconv, AnUnfinishedMarkerAtTheEndOfAFullBlockIsKept) {
  // The page ends exactly where its first block does, so the held-back bytes come out only
  // when the end of the file is read.
  const std::string page = pageWith(kBlockSize, kBlockSize - 7, "<!--~--");
  const Outcome got = convertPage(page);
  EXPECT_EQ(got.output, pageWith(kBlockSize + 1, kBlockSize - 7, "<!--~~--"));
  EXPECT_TRUE(got.console.ends_with("Duplicated 1 regular tilde.\n")) << got.console;
}

// Usage for a program started without even its own name; --help begins with the usage lines.
TEST(RunTildeconv, UsageAndHelpName) {
  const char* const none[] = {nullptr};
  const char* const help[] = {"tc", "--help"};
  std::ostringstream usage, helped;
  EXPECT_EQ(runTildeconv(0, none, usage), 1);
  EXPECT_EQ(usage.str(), "usage: tildeconv <sourcefile>.htm\n   or: tildeconv <sourcefile>.html\n");
  EXPECT_EQ(runTildeconv(2, help, helped), 0);
  EXPECT_TRUE(
      helped.str().starts_with("usage: tc <sourcefile>.htm\n   or: tc <sourcefile>.html\n\n"))
      << helped.str();
}

}  // namespace
}  // namespace quillmar::tildeconv
