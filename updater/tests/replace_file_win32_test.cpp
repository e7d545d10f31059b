// Whole-file replacement on Windows: the target holds the old or the whole new content, never
// a part, and no temporary file is left behind.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "image/replace_file.h"

namespace quillmar::image {
namespace {

namespace fs = std::filesystem;

class ReplaceFileWin32 : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("replace-" + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(dir_));
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string get(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::set<std::string> listing() const {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  fs::path dir_;
};

TEST_F(ReplaceFileWin32, NewAndExistingFilesGetTheWholeContent) {
  const struct {
    const char* what;
    const char* before;  // null: no file yet
    std::string contents;
  } cases[] = {
      {"new file", nullptr, "fresh"},
      {"longer old file", "a much longer old content", "short"},
      {"empty content", "old", ""},
      {"binary content", "old", std::string("\0\r\n\x1a\xff", 5)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(path("q.hex"));
    if (c.before != nullptr) {
      put("q.hex", c.before);
    }
    EXPECT_EQ(replaceFile(path("q.hex"), c.contents), std::nullopt);
    EXPECT_EQ(get("q.hex"), c.contents);
    EXPECT_EQ(listing(), std::set<std::string>{"q.hex"});
  }
}

TEST_F(ReplaceFileWin32, FailuresKeepTheOldFileAndLeaveNoTemporary) {
  put("q.hex", "old");
  fs::create_directory(path("folder"));
  const struct {
    const char* what;
    std::string target;
    ReplaceFailure::Step step;
  } cases[] = {
      {"missing folder", path("missing\\q.hex"), ReplaceFailure::Step::Create},
      {"a folder in the way", path("folder"), ReplaceFailure::Step::Rename},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<ReplaceFailure> failure = replaceFile(c.target, "new");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, c.step);
    EXPECT_FALSE(failure->reason.empty());
    EXPECT_NE(failure->reason.back(), '\n');
    EXPECT_EQ(get("q.hex"), "old");
    EXPECT_EQ(listing(), (std::set<std::string>{"folder", "q.hex"}));
  }
}

// A file that another program holds open without delete sharing cannot be replaced; it keeps
// its old content and the new one is not half-written anywhere.
TEST_F(ReplaceFileWin32, HeldFileIsLeftAlone) {
  put("q.hex", "old");
  const HANDLE holder = CreateFileA(path("q.hex").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::optional<ReplaceFailure> failure = replaceFile(path("q.hex"), "new");
  CloseHandle(holder);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->step, ReplaceFailure::Step::Rename);
  EXPECT_EQ(failure->written, 3u);
  EXPECT_EQ(get("q.hex"), "old");
  EXPECT_EQ(listing(), std::set<std::string>{"q.hex"});
}

// What keeps a replacement from going ahead is found before anything is written, and the
// probe leaves no file behind.
TEST_F(ReplaceFileWin32, BlockersAreFoundBeforehand) {
  put("free.hex", "old");
  put("locked.hex", "old");
  SetFileAttributesA(path("locked.hex").c_str(), FILE_ATTRIBUTE_READONLY);
  fs::create_directory(path("folder"));
  const struct {
    const char* what;
    std::string target;
    bool blocked;
  } cases[] = {
      {"new file", path("new.hex"), false},
      {"existing file", path("free.hex"), false},
      {"read-only file", path("locked.hex"), true},
      {"a folder in the way", path("folder"), true},
      {"missing folder", path("missing\\q.hex"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<std::string> blocker = replaceBlocker(c.target);
    EXPECT_EQ(blocker.has_value(), c.blocked);
    EXPECT_FALSE(blocker.value_or("reason").empty());
    EXPECT_EQ(listing(), (std::set<std::string>{"folder", "free.hex", "locked.hex"}));
  }
  SetFileAttributesA(path("locked.hex").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace quillmar::image
