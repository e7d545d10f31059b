// The Windows sharing modes of the converter's files, checked against a second opener in the
// same process (sharing is decided per open handle, not per process).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "page_file.h"
#include "test_files.h"

namespace quillmar::tildeconv {
namespace {

using testing::ScratchFolder;

// A second handle on `path`, opened with `access` and `share`, closed with the object.
class OtherOpener {
 public:
  OtherOpener(const std::filesystem::path& path, DWORD access, DWORD share)
      : handle_(CreateFileA(path.string().c_str(), access, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)),
        error_(GetLastError()) {}
  ~OtherOpener() {
    if (opened()) {
      CloseHandle(handle_);
    }
  }
  OtherOpener(const OtherOpener&) = delete;
  OtherOpener& operator=(const OtherOpener&) = delete;

  bool opened() const { return handle_ != INVALID_HANDLE_VALUE; }
  DWORD error() const { return error_; }

 private:
  HANDLE handle_;
  DWORD error_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Our file and another opener on it, in either order. Opened first, ours lets others read the
// source only; opened second, ours fails with the system's reason and leaves the content alone
// (the last row: an output that is this run's source, open to readers only).
TEST(PageFileWin32, SharingWithAnotherOpener) {
  const struct {
    bool oursFirst;
    bool source;  // ours is the source, else the output
    DWORD access;
    DWORD share;  // the other opener's
    bool otherOpens;
  } cases[] = {
      {true, true, GENERIC_READ, kShareAll, true},
      {true, true, GENERIC_WRITE, kShareAll, false},
      {true, true, GENERIC_READ | GENERIC_WRITE, kShareAll, false},
      {true, false, GENERIC_READ, kShareAll, false},
      {false, true, GENERIC_WRITE, kShareAll, true},
      {false, false, GENERIC_READ, kShareAll, true},
      {false, false, GENERIC_READ, FILE_SHARE_READ, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    ScratchFolder folder;
    const std::filesystem::path path = folder / "page.htm";
    testing::writeFile(path, "kept");
    SourceFile source;
    OutputFile output;
    std::string error;
    const auto openOurs = [&] {
      return c.source ? source.open(path.string(), error) : output.create(path.string(), error);
    };
    if (c.oursFirst) {
      ASSERT_TRUE(openOurs()) << error;
    }
    const OtherOpener other(path, c.access, c.share);
    EXPECT_EQ(other.opened(), c.otherOpens);
    if (!other.opened()) {
      EXPECT_EQ(other.error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    if (!c.oursFirst) {
      EXPECT_FALSE(openOurs());
      EXPECT_FALSE(error.empty());
      EXPECT_NE(error.back(), '\n');
      EXPECT_EQ(testing::readFile(path), "kept");
    }
  }
}

TEST(PageFileWin32, UnfinishedOutputIsRemovedAndFinishedKept) {
  for (const bool finish : {false, true}) {
    ScratchFolder folder;
    const std::filesystem::path path = folder / "page.syn";
    std::string error;
    {
      OutputFile output;
      ASSERT_TRUE(output.create(path.string(), error)) << error;
      ASSERT_TRUE(output.write(std::string_view("a~~b"), error)) << error;
      if (finish) {
        ASSERT_TRUE(output.close(error)) << error;
      }
    }
    EXPECT_EQ(std::filesystem::exists(path), finish);
  }
}

TEST(PageFileWin32, MissingSourceAndFolderFail) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder / "dir.htm");
  for (const char* name : {"absent.htm", "dir.htm"}) {
    SourceFile source;
    std::string error;
    EXPECT_FALSE(source.open((folder / name).string(), error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

}  // namespace
}  // namespace quillmar::tildeconv
