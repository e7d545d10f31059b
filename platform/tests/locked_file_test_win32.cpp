// The Windows sharing modes of the held files, checked against a second opener in the
// same process (sharing is decided per open handle, not per process).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/locked_file.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

// A new file of its own in the temporary folder, removed when the object goes.
struct ScratchFile {
  ScratchFile() {
    char name[MAX_PATH];
    EXPECT_NE(GetTempFileNameA(fs::temp_directory_path().string().c_str(), "tc", 0, name), 0u);
    path = name;
  }
  ~ScratchFile() {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
  fs::path path;
};

// A handle closed when it goes; an invalid one is never closed.
struct CloseHandleIfValid {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
    }
  }
};
using Handle = std::unique_ptr<void, CloseHandleIfValid>;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Our file and another opener on it, in either order. Opened first, ours lets others read the
// source only; opened second, ours fails with the system's reason and leaves the content alone
// (the last row: an output that is this run's source, open to readers only).
TEST(LockedFileWin32, SharingWithAnotherOpener) {
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
    const ScratchFile file;
    const fs::path& path = file.path;
    std::ofstream(path) << "kept";
    SharedReader source;
    ExclusiveWriter output;
    std::string error;
    const auto openOurs = [&] {
      return c.source ? source.open(path.string(), error) : output.create(path.string(), error);
    };
    if (c.oursFirst) {
      ASSERT_TRUE(openOurs()) << error;
    }
    const Handle other(CreateFileA(path.string().c_str(), c.access, c.share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD otherError = GetLastError();
    EXPECT_EQ(other.get() != INVALID_HANDLE_VALUE, c.otherOpens);
    if (!c.otherOpens) {
      EXPECT_EQ(otherError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    if (!c.oursFirst) {
      EXPECT_FALSE(openOurs());
      EXPECT_FALSE(error.empty());
      EXPECT_NE(error.back(), '\n');
      std::ifstream kept(path);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
    }
  }
}

TEST(LockedFileWin32, UnfinishedOutputIsRemovedAndFinishedKept) {
  for (const bool finish : {false, true}) {
    const ScratchFile file;
    std::string error;
    {
      ExclusiveWriter output;
      ASSERT_TRUE(output.create(file.path.string(), error)) << error;
      ASSERT_TRUE(output.write(std::string_view("a~~b"), error)) << error;
      ASSERT_TRUE(!finish || output.close(error)) << error;
    }
    EXPECT_EQ(fs::exists(file.path), finish);
  }
}

}  // namespace
}  // namespace quillmar::platform
