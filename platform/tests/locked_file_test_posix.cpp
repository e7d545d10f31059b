// The POSIX locks of the held files, checked against a second opener in the same process
// (flock locks belong to each open file, not to the process).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/locked_file.h"
#include "platform/tests/scratch_folder.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

using LockedFilePosix = ScratchFolder;

// Our file and another opener's lock on it, in either order. Opened first, ours lets others
// share the lock on a file read only; opened second, ours fails with the system's reason and
// leaves the content alone.
TEST_F(LockedFilePosix, LocksAgainstAnotherOpener) {
  const struct {
    bool oursFirst;
    bool reader;      // ours reads the file, else writes it
    int otherLock;    // LOCK_SH or LOCK_EX
    bool bothHoldIt;  // the second one gets its lock too
  } cases[] = {
      {true, true, LOCK_SH, true},  {true, true, LOCK_EX, false},  {true, false, LOCK_SH, false},
      {false, true, LOCK_SH, true}, {false, true, LOCK_EX, false}, {false, false, LOCK_SH, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    std::ofstream(path("page")) << "kept";
    SharedReader reader;
    ExclusiveWriter writer;
    std::string error;
    const auto openOurs = [&] {
      return c.reader ? reader.open(path("page"), error) : writer.create(path("page"), error);
    };
    if (c.oursFirst) {
      ASSERT_TRUE(openOurs()) << error;
    }
    const int other = ::open(path("page").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    const bool otherLocked = ::flock(other, c.otherLock | LOCK_NB) == 0;
    if (c.oursFirst) {
      EXPECT_EQ(otherLocked, c.bothHoldIt);
    } else {
      ASSERT_TRUE(otherLocked);
      EXPECT_EQ(openOurs(), c.bothHoldIt);
      EXPECT_EQ(error, c.bothHoldIt ? "" : "Resource temporarily unavailable");
      EXPECT_EQ(get("page"), "kept");
    }
    ::close(other);
    writer.discard();
  }
}

TEST_F(LockedFilePosix, UnfinishedOutputIsRemovedAndFinishedKept) {
  for (const bool finish : {false, true}) {
    std::string error;
    {
      ExclusiveWriter output;
      ASSERT_TRUE(output.create(path("page"), error)) << error;
      ASSERT_TRUE(output.write(std::string_view("a~~b"), error)) << error;
      ASSERT_TRUE(!finish || output.close(error)) << error;
    }
    EXPECT_EQ(fs::exists(path("page")), finish);
  }
}

// Written through a link, the file it leads to is emptied and written; the link stays.
TEST_F(LockedFilePosix, OutputThroughALinkWritesItsTarget) {
  fs::create_directory(path("served"));
  std::ofstream(path("served/page")) << "an older and longer page";
  fs::create_symlink(fs::path("served") / "page", path("page"));
  std::string error;
  ExclusiveWriter output;
  ASSERT_TRUE(output.create(path("page"), error)) << error;
  ASSERT_TRUE(output.write(std::string_view("new"), error)) << error;
  ASSERT_TRUE(output.close(error)) << error;
  EXPECT_TRUE(fs::is_symlink(path("page")));
  EXPECT_EQ(get("served/page"), "new");
}

}  // namespace
}  // namespace quillmar::platform
