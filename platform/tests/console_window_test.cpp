// When a console program holds its window open: only in the window Explorer opened for it alone,
// never where a command prompt, a script or a Unix terminal reads its output.
#include <gtest/gtest.h>

#include "platform/console_window.h"

namespace {

struct Case {
  const char* situation;
  quillmar::platform::ConsoleWindowFacts facts;
  bool holds;
};

constexpr Case kCases[] = {
    {"double-clicked in Explorer", {1, true, true, true}, true},
    {"started from a command prompt", {2, true, true, true}, false},
    {"started by a batch file in a prompt", {3, true, true, true}, false},
    {"no console at all", {0, false, false, false}, false},
    {"alone on a console without a window (a Unix terminal)", {1, false, true, true}, false},
    {"output redirected to a file", {1, true, true, false}, false},
    {"input redirected from a file", {1, true, false, true}, false},
};

TEST(ConsoleWindowTest, HoldsOnlyTheWindowThatClosesWithTheProgram) {
  for (const Case& c : kCases) {
    EXPECT_EQ(quillmar::platform::closesWithProgram(c.facts), c.holds) << c.situation;
  }
}

}  // namespace
