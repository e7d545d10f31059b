// Test fixture: writes a schedule text to a file of its own and opens a reader on it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "schedule/reader.h"

namespace quillmar::planprobe {

class ReaderTest : public testing::Test {
 protected:
  ~ReaderTest() override {
    reader.close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  // Writes `text` as the whole file and reads its first chunk.
  void load(std::string_view text) {
    reader.close();
    {
      std::ofstream out(path_, std::ios::binary | std::ios::trunc);
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    ASSERT_EQ(reader.open(path_.c_str()), SUCCESS);
    ASSERT_EQ(reader.readChunk(), SUCCESS);
  }

  // Consumes `count` bytes, refilling on the way.
  void skip(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      ASSERT_EQ(reader.fill(), SUCCESS);
      reader.advance();
    }
    ASSERT_EQ(reader.fill(), SUCCESS);
  }

  // The rest of the file from the cursor on.
  std::string rest() {
    std::string text;
    while (reader.fill() == SUCCESS && reader.peek() != ScheduleReader::kEnd) {
      text.push_back(static_cast<char>(reader.peek()));
      reader.advance();
    }
    return text;
  }

  const std::string& path() const { return path_; }

  ScheduleReader reader;

 private:
  static std::string uniquePath() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps concurrent test runs (other build trees, CI) apart.
    return testing::TempDir() + "planprobe_" + std::to_string(getpid()) + "_" +
           test->test_suite_name() + "_" + test->name() + ".txt";
  }

  std::string path_ = uniquePath();
};

}  // namespace quillmar::planprobe
