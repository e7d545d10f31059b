#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "image/detect_format.h"
#include "image/fileio.h"
#include "image/intel_hex.h"

namespace quillmar::image {
namespace {

namespace fs = std::filesystem;

constexpr int kAppRegion = 130560;
const std::string kHexFile = ":0400000001020304F2\n:00000001FF\n";

TEST(DetectFormatTest, FirstDecidingLineWins) {
  const std::pair<std::string, int> cases[] = {
      {":00000001FF\n", IntelHex},
      {":00000001FF\r\n", IntelHex},
      {":1234567\n:00000001FF\n", IntelHex},  // too short, then a record
      {":0000000G1FF\nS00600004844521B\n", MotorolaSRecord},
      {"S00600004844521B", MotorolaSRecord},
      {"S0060000\n", -1},          // too short
      {"SX0600004844521B\n", -1},  // no record digit
      {"S00600004844521Z\n", -1},
      {"hello\n\x7f\n", -1},
      {"", -1},
      {"text\nab\x80z\n:00000001FF\n", RawBinary},
      {":00000001FF\xff\n", RawBinary},  // high byte checked first
      {std::string(400, 'x') + "\n:00000001FF", IntelHex},
      {"\xEF\xBB\xBF:00000001FF\n", IntelHex},   // a mark is no byte of the text
      {"\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F\n", -1},  // and says the file is text
  };
  for (const auto& [text, format] : cases) {
    std::istringstream in(text);
    EXPECT_EQ(detectStreamFormat(in), format) << text;
  }
}

// A scratch folder per test; "@" in expected texts stands for its path.
class FileioTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "imageXXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  std::string expand(std::string text) const {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
      text.replace(at, 1, dir_.string());
    }
    return text;
  }
  void put(const std::string& name, const std::string& contents) const {
    std::ofstream(path(name), std::ios::binary) << contents;
  }
  std::string get(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::set<std::string> listing() const {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
      names.insert(entry.path().string());
    }
    return names;
  }

  fs::path dir_;
  std::ostringstream diag_;
};

TEST_F(FileioTest, LoadFillsUnmentionedAddressesWithFF) {
  put("a.hex", ":020100000708EE\n:00000001FF\n");
  std::vector<uint8_t> buffer(kAppRegion, 0);
  EXPECT_EQ(fileio(Input, path("a.hex"), IntelHex, buffer.data(), kAppRegion, diag_), 0x102);
  std::vector<uint8_t> expected(kAppRegion, 0xFF);
  expected[0x100] = 7;
  expected[0x101] = 8;
  EXPECT_TRUE(buffer == expected);
  EXPECT_EQ(diag_.str(), "");
}

TEST_F(FileioTest, RawLoadStopsAtTheCapacity) {
  put("a.bin", "0123456789");
  std::vector<uint8_t> buffer(16, 0);
  EXPECT_EQ(fileio(Input, path("a.bin"), RawBinary, buffer.data(), 4, diag_), 4);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 5), std::string("0123\0", 5));
  EXPECT_EQ(fileio(Input, path("a.bin"), RawBinary, buffer.data(), 16, diag_), 10);
  EXPECT_EQ(buffer[10], 0xFF);
  EXPECT_EQ(diag_.str(), "");
}

// A save that can't complete reports why, leaves the old file as it was and no temporary file.
TEST_F(FileioTest, FailedSaveKeepsTheOldFile) {
  put("q.hex", kHexFile);
  put("file", "x");
  fs::create_directory(path("folder"));
  const std::pair<const char*, std::string> cases[] = {
      {"folder", "can't open output file @/folder: Is a directory\n"},
      {"missing/q.hex", "can't open output file @/missing/q.hex: No such file or directory\n"},
      {"file/q.hex", "can't open output file @/file/q.hex: Not a directory\n"},
  };
  const std::set<std::string> before = listing();
  uint8_t byte = 0;
  for (const auto& [target, message] : cases) {
    std::ostringstream diag;
    EXPECT_EQ(fileio(Output, path(target), IntelHex, &byte, 1, diag), -1);
    EXPECT_EQ(diag.str(), expand(message));
  }
  EXPECT_EQ(listing(), before);
  EXPECT_EQ(get("q.hex"), kHexFile);
}

TEST_F(FileioTest, ReadErrorsAreNotTheEndOfTheFile) {
  std::vector<uint8_t> buffer(16);
  const std::pair<int, std::string> cases[] = {
      {IntelHex, "ERROR: read error at line 1 of \"@\": Is a directory\n"},
      {RawBinary, "input error from @: Is a directory; read 0 of the expected 16 bytes\n"},
  };
  for (const auto& [format, message] : cases) {
    std::ostringstream diag;
    EXPECT_EQ(fileio(Input, dir_.string(), format, buffer.data(), 16, diag), -1);
    EXPECT_EQ(diag.str(), expand(message));
  }
}

}  // namespace
}  // namespace quillmar::image
