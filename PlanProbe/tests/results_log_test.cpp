#include "log/results_log.h"

#include <gtest/gtest.h>

#include "tests/session_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::readFile;

TEST(ResultsLog, PrintFormatsLongTextWhole) {
  std::string out;
  const std::string item(1000, 'x');
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    log.print("%02i:%s\n", 7, item.c_str());
  }
  EXPECT_EQ(out, "07:" + item + "\r\n");
}

TEST(ResultsLog, WithdrawTakesBackHeldText) {
  std::string out;
  ResultsLog log(std::make_unique<StringSink>(out));
  log.write("head\n");
  const uint64_t stamp = log.position();
  log.holdFrom(stamp);
  log.write("\n12:00 ");
  const uint64_t inner = log.position();
  log.write("D(12:00 starttime) ");
  EXPECT_TRUE(log.withdrawTo(inner));
  EXPECT_EQ(log.position(), stamp + 8);
  EXPECT_TRUE(log.withdrawTo(stamp));
  log.release();
  log.write("tail");
  log.flush();
  EXPECT_EQ(out, "head\r\ntail");
}

TEST(ResultsLog, HeldTextSurvivesLargeOutputBeforeIt) {
  std::string out;
  ResultsLog log(std::make_unique<StringSink>(out));
  const std::string block(100000, 'a');
  for (int i = 0; i < 10; ++i) {
    log.write(block);
  }
  const uint64_t mark = log.position();
  log.holdFrom(mark);
  for (int i = 0; i < 10; ++i) {
    log.write(block);
  }
  // Everything before the hold may leave the buffer; nothing after it.
  EXPECT_LE(out.size(), mark);
  EXPECT_TRUE(log.withdrawTo(mark));
  log.release();
  log.flush();
  EXPECT_EQ(out.size(), mark);
}

TEST(ResultsLog, WithdrawRefusesTextThatHasLeft) {
  std::string out;
  ResultsLog log(std::make_unique<StringSink>(out));
  log.write("abc");
  log.flush();
  EXPECT_FALSE(log.withdrawTo(1));
  EXPECT_FALSE(log.withdrawTo(10));
  EXPECT_EQ(log.position(), 3u);
}

TEST(ResultsLog, KeptTextReachesFileWhenLogIsDestroyed) {
  const testing::ScratchDir dir;
  const std::string path = dir.file("out.txt");
  {
    ResultsLog log(openLogFile(path, false));
    log.holdFrom(0);
    log.write("kept\n");
  }
  EXPECT_EQ(readFile(path), "kept\r\n");
  {
    ResultsLog log(openLogFile(path, true));
    log.write("more");
  }
  EXPECT_EQ(readFile(path), "kept\r\nmore");
}

}  // namespace
}  // namespace quillmar::planprobe
