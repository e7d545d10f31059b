#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <iostream>
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

struct RefusalCase {
  int op;
  const char* file;  // relative to the scratch folder, or "-"
  int format;
  std::string diag;
};

// Refused calls report once, return -1 and create no file.
TEST_F(FileioTest, RefusesBadCalls) {
  put("plain.txt", "hello\n");
  const RefusalCase cases[] = {
      {2, "x.hex", IntelHex, "invalid I/O operation 2\n"},
      {-1, "x.hex", IntelHex, "invalid I/O operation -1\n"},
      {Input, "missing.hex", IntelHex,
       "can't open input file @/missing.hex: No such file or directory\n"},
      {Input, "plain.txt", 7, "invalid input file format: 7\n"},
      {Output, "x.hex", -3, "invalid output file format: -3\n"},
      {Input, "plain.txt", MotorolaSRecord, "Motorola S-Record input format not yet supported\n"},
      {Output, "x.hex", MotorolaSRecord, "Motorola S-Record output format not yet supported\n"},
      {Input, "plain.txt", AutoDetect,
       "can't determine file format for @/plain.txt, specify explicitly\n"},
      {Output, "x.hex", AutoDetect,
       "can't determine file format for @/x.hex, specify explicitly\n"},
      {Input, "-", AutoDetect,
       "error opening <stdin>: No such file or directory\n"
       "can't determine file format for <stdin>, specify explicitly\n"},
  };
  for (const RefusalCase& c : cases) {
    std::ostringstream diag;
    std::vector<uint8_t> buffer(16);
    const std::string name = c.file == std::string("-") ? "-" : path(c.file);
    EXPECT_EQ(fileio(c.op, name, c.format, buffer.data(), 16, diag), -1) << c.diag;
    EXPECT_EQ(diag.str(), expand(c.diag));
  }
  EXPECT_EQ(listing(), std::set<std::string>{path("plain.txt")});
}

TEST_F(FileioTest, RefusesAMissingBuffer) {
  EXPECT_EQ(fileio(Input, path("x.hex"), IntelHex, nullptr, 16, diag_), -1);
  EXPECT_EQ(diag_.str(), "fileio(): memory type not configured for device");
}

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

TEST_F(FileioTest, AutoDetectsAndSaysSo) {
  const std::string raw = "ab\x80\r\n\x1a";
  put("a.hex", kHexFile);
  put("a.bin", raw);
  std::vector<uint8_t> buffer(16);
  EXPECT_EQ(fileio(Input, path("a.hex"), AutoDetect, buffer.data(), 16, diag_), 4);
  EXPECT_EQ(fileio(Input, path("a.bin"), AutoDetect, buffer.data(), 16, diag_), 6);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 6), raw);
  EXPECT_EQ(diag_.str(), expand("input file @/a.hex auto detected as Intel Hex\n\n"
                                "input file @/a.bin auto detected as raw binary\n\n"));
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

// Like writing the file in place, a save keeps the file's permissions and writes through a link.
TEST_F(FileioTest, SaveKeepsPermissionsAndLinks) {
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::create_directory(path("real"));
  put("real/q.hex", "old");
  fs::permissions(path("real/q.hex"), mode);
  fs::create_symlink(path("real/q.hex"), path("q.hex"));
  uint8_t byte = 0x55;
  EXPECT_EQ(fileio(Output, path("q.hex"), IntelHex, &byte, 1, diag_), 1);
  EXPECT_EQ(get("real/q.hex"), ":0100000055AA\n:00000001FF\n");
  EXPECT_EQ(fs::status(path("real/q.hex")).permissions(), mode);
  EXPECT_TRUE(fs::is_symlink(path("q.hex")));
  EXPECT_EQ(listing(), (std::set<std::string>{path("q.hex"), path("real"), path("real/q.hex")}));
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

TEST_F(FileioTest, SaveThatRunsOutOfSpaceKeepsTheOldFile) {
  put("q.hex", kHexFile);
  std::vector<uint8_t> image(kAppRegion);
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  rlimit small = limit;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = fileio(Output, path("q.hex"), IntelHex, image.data(), kAppRegion, diag_);
  setrlimit(RLIMIT_FSIZE, &limit);
  signal(SIGXFSZ, previous);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(diag_.str(),
            expand("output error to @/q.hex: File too large; wrote 1000 of the expected 310108 "
                   "bytes\n"));
  EXPECT_EQ(get("q.hex"), kHexFile);
  EXPECT_EQ(listing(), std::set<std::string>{path("q.hex")});
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

TEST_F(FileioTest, DashMeansTheStandardStreams) {
  std::istringstream input(":0100000055AA\n");
  std::streambuf* const keep = std::cin.rdbuf(input.rdbuf());
  std::vector<uint8_t> buffer(16);
  const int loaded = fileio(Input, "-", IntelHex, buffer.data(), 16, diag_);
  std::cin.rdbuf(keep);
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(diag_.str(), "WARNING: no end of file record found for Intel Hex file \"<stdin>\"\n");

  testing::internal::CaptureStdout();
  EXPECT_EQ(fileio(Output, "-", IntelHex, buffer.data(), 2, diag_), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), ":0200000055FFAA\n:00000001FF\n");
}

}  // namespace
}  // namespace quillmar::image
