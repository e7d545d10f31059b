#include "log/log_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>

namespace quillmar::planprobe {
namespace {

template <typename... Args>
std::string library(const char* format, Args... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// What `write` leaves in a log of its own.
template <typename Write>
std::string logged(Write write) {
  std::string out;
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    write(log);
  }
  return out;
}

const int kValues[] = {0, 5, -5, 9, 10, 23, 59, 60, 99, 100, -30, 255, INT_MAX, INT_MIN};

TEST(LogText, NumbersMatchPrintf) {
  for (const int value : kValues) {
    EXPECT_EQ(logged([&](ResultsLog& log) { LogText().number(value).writeTo(log); }),
              library("%i", value))
        << value;
    EXPECT_EQ(logged([&](ResultsLog& log) { LogText().twoDigits(value).writeTo(log); }),
              library("%02i", value))
        << value;
  }
}

TEST(LogText, MinuteStampMatchesPrintfForAnyClock) {
  for (const int hour : kValues) {
    for (const int minute : kValues) {
      EXPECT_EQ(logged([&](ResultsLog& log) { writeMinuteStamp(log, hour, minute); }),
                library("\r\n%02i:%02i ", hour, minute))
          << hour << ":" << minute;
    }
  }
}

// Short and long texts take different copy paths; both make every line feed CR LF and leave a
// carriage return already there as it is.
TEST(ResultsLogWrite, LineFeedsBecomeCrLfAtEveryLength) {
  for (size_t length = 0; length < 100; ++length) {
    std::string text(length, 'a');
    std::string expected;
    for (size_t i = 0; i < length; ++i) {
      text[i] = i % 7 == 3 ? '\n' : i % 11 == 2 ? '\r' : static_cast<char>('a' + i % 26);
      expected += text[i] == '\n' ? std::string("\r\n") : std::string(1, text[i]);
    }
    EXPECT_EQ(logged([&](ResultsLog& log) { log.write(text); }), expected) << length;
    EXPECT_EQ(logged([&](ResultsLog& log) { log.writeRaw(expected); }), expected) << length;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
