// The program's entry as main() calls it, where no shell can reach: the transcripts
// (transcripts/*.t) run the built program as a user does.
#include <gtest/gtest.h>

#include <sstream>

#include "run.h"

namespace quillmar::tildeconv {
namespace {

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
