// The Windows sharing modes of the converter's files, checked against a second opener in the
// same process (sharing is decided per open handle, not per process).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
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

TEST(PageFileWin32, OpenSourceKeepsWritersOutButLetsReadersIn) {
  const struct {
    const char* what;
    DWORD access;
    bool allowed;
  } cases[] = {
      {"another reader", GENERIC_READ, true},
      {"a writer", GENERIC_WRITE, false},
      {"a reader and writer", GENERIC_READ | GENERIC_WRITE, false},
  };
  ScratchFolder folder;
  testing::writeFile(folder / "page.htm", "a~b");
  SourceFile source;
  std::string error;
  ASSERT_TRUE(source.open((folder / "page.htm").string(), error)) << error;
  for (const auto& c : cases) {
    const OtherOpener other(folder / "page.htm", c.access, kShareAll);
    EXPECT_EQ(other.opened(), c.allowed) << c.what;
    if (!c.allowed) {
      EXPECT_EQ(other.error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << c.what;
    }
  }
}

TEST(PageFileWin32, OutputSharesWithNobody) {
  ScratchFolder folder;
  OutputFile output;
  std::string error;
  ASSERT_TRUE(output.create((folder / "page.syn").string(), error)) << error;
  const OtherOpener reader(folder / "page.syn", GENERIC_READ, kShareAll);
  EXPECT_FALSE(reader.opened());
  EXPECT_EQ(reader.error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

// Opening fails with the system's reason and leaves the file's content alone.
TEST(PageFileWin32, BusyFilesFailWithoutDamage) {
  const struct {
    const char* what;
    DWORD holderAccess;
    DWORD holderShare;
    std::function<bool(const std::string&, std::string&)> open;
  } cases[] = {
      {"source being written", GENERIC_WRITE, kShareAll,
       [](const std::string& name, std::string& error) {
         SourceFile source;
         return source.open(name, error);
       }},
      {"output read by another", GENERIC_READ, kShareAll,
       [](const std::string& name, std::string& error) {
         OutputFile output;
         return output.create(name, error);
       }},
      {"output that is this run's source", GENERIC_READ, FILE_SHARE_READ,
       [](const std::string& name, std::string& error) {
         OutputFile output;
         return output.create(name, error);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const std::filesystem::path path = folder / "page.htm";
    testing::writeFile(path, "kept");
    {
      const OtherOpener holder(path, c.holderAccess, c.holderShare);
      ASSERT_TRUE(holder.opened());
      std::string error;
      EXPECT_FALSE(c.open(path.string(), error));
      EXPECT_FALSE(error.empty());
      EXPECT_NE(error.back(), '\n');
    }
    EXPECT_EQ(testing::readFile(path), "kept");
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
