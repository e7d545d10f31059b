#include "log/fast_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

namespace quillmar::planprobe {
namespace {

// Formats with appendFormatted; "<library>" when it leaves the format to the C library.
std::string fast(const char* format, ...) {
  std::string out = "x";
  va_list args;
  va_start(args, format);
  const bool done = appendFormatted(out, format, args);
  va_end(args);
  return done ? out.substr(1) : (out == "x" ? "<library>" : "<garbage>");
}

template <typename... Args>
std::string library(const char* format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

TEST(FastFormat, IntegersMatchPrintf) {
  const char* formats[] = {"%i", "%d", "%02i", "%01i", "%03d", "%2i", "<%5i>", "a%ib%ic"};
  const int values[] = {0, 5, -5, 9, 10, 59, 99, 100, -30, 255, 65535, INT_MAX, INT_MIN};
  for (const char* format : formats) {
    for (const int value : values) {
      EXPECT_EQ(fast(format, value, value), library(format, value, value))
          << format << " " << value;
    }
  }
}

TEST(FastFormat, OtherConversionsAreLeftToTheLibrary) {
  EXPECT_EQ(fast("%u", 5u), "<library>");
  EXPECT_EQ(fast("%x", 5), "<library>");
  EXPECT_EQ(fast("ab %i %5s", 1, "x"), "<library>");
  EXPECT_EQ(fast("%ld", 5L), "<library>");
  EXPECT_EQ(fast("%.2d", 5), "<library>");
}

}  // namespace
}  // namespace quillmar::planprobe
