// Whole-file replacement on the system at hand: the target holds the old or the whole new
// content, never a part; a symbolic link stays and its target is replaced; permissions carry
// over; and no temporary file is left behind, whether the replacement succeeds or fails.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "platform/replace_file.h"
#include "platform/tests/scratch_folder.h"

namespace quillmar::platform {
namespace {

namespace fs = std::filesystem;

using ReplaceFileTest = ScratchFolder;

TEST_F(ReplaceFileTest, NewAndExistingFilesGetTheWholeContent) {
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

TEST_F(ReplaceFileTest, FailuresKeepTheOldFileAndLeaveNoTemporary) {
  put("q.hex", "old");
  fs::create_directory(path("folder"));
  const struct {
    const char* what;
    std::string target;
    ReplaceFailure::Step step;
  } cases[] = {
      {"missing folder", path("missing/q.hex"), ReplaceFailure::Step::Create},
      {"a file for a folder", path("q.hex/q.hex"), ReplaceFailure::Step::Create},
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

// True when `name` is a symbolic link.
bool isLink(const std::string& name) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
  return fs::is_symlink(name);
#endif
}

// Makes `link` a symbolic link to the file `target` (relative to the link's folder); the
// system's reason when it refuses.
std::string makeLink(const std::string& target, const std::string& link) {
#ifdef _WIN32
  // Without the right to make links, Windows lets a process in developer mode make them.
  const std::string native = fs::path(target).make_preferred().string();
  if (CreateSymbolicLinkA(link.c_str(), native.c_str(),
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) == 0) {
    return std::system_category().message(static_cast<int>(GetLastError()));
  }
  // Wine reports the link made but makes none.
  return isLink(link) ? std::string() : "the link said to be made is not there";
#else
  std::error_code error;
  fs::create_symlink(target, link, error);
  return error ? error.message() : std::string();
#endif
}

// Saving through a link to a page in another folder, as to a served one: the link stays, the
// page it leads to gets the content, and the temporary file went to the page's folder (the only
// one a rename can replace it from) and is gone.
TEST_F(ReplaceFileTest, ALinkStaysAndItsTargetIsReplaced) {
  fs::create_directory(path("served"));
  put("served/page.html", "old");
  if (const std::string refused = makeLink("served/page.html", path("page.html"));
      !refused.empty()) {
    GTEST_SKIP() << "this process may make no symbolic links here: " << refused;
  }
  EXPECT_EQ(replaceBlocker(path("page.html")), std::nullopt);
  EXPECT_EQ(replaceFile(path("page.html"), "new"), std::nullopt);
  EXPECT_TRUE(isLink(path("page.html")));
  EXPECT_EQ(get("served/page.html"), "new");
  EXPECT_EQ(listing(), (std::set<std::string>{"page.html", "served", "served/page.html"}));
}

// What keeps a replacement from going ahead is found before anything is written, and the
// probe leaves no file behind.
TEST_F(ReplaceFileTest, BlockersAreFoundBeforehand) {
  put("free.hex", "old");
  put("locked.hex", "old");
  fs::permissions(path("locked.hex"), fs::perms::owner_read);
  fs::create_directory(path("folder"));
#ifdef _WIN32
  const bool readOnlyBlocks = true;  // MoveFileExA replaces no read-only file
#else
  const bool readOnlyBlocks = false;  // the folder decides, and it takes new files
#endif
  const struct {
    const char* what;
    std::string target;
    bool blocked;
  } cases[] = {
      {"new file", path("new.hex"), false},
      {"existing file", path("free.hex"), false},
      {"read-only file", path("locked.hex"), readOnlyBlocks},
      {"a folder in the way", path("folder"), true},
      {"missing folder", path("missing/q.hex"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<std::string> blocker = replaceBlocker(c.target);
    EXPECT_EQ(blocker.has_value(), c.blocked);
    EXPECT_FALSE(blocker.value_or("reason").empty());
    EXPECT_EQ(listing(), (std::set<std::string>{"folder", "free.hex", "locked.hex"}));
  }
  fs::permissions(path("locked.hex"), fs::perms::owner_read | fs::perms::owner_write);
}

#ifdef _WIN32

// A file that another program holds open without delete sharing cannot be replaced; it keeps
// its old content and the new one is not half-written anywhere.
TEST_F(ReplaceFileTest, HeldFileIsLeftAlone) {
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

// Gives `folder` an access list that lets everyone do anything but, when `deny`, add files.
bool denyNewFiles(const std::string& folder, bool deny) {
  const char* list = deny ? "D:P(D;;0x2;;;WD)(A;OICI;FA;;;WD)" : "D:P(A;OICI;FA;;;WD)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(list, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return false;
  }
  const bool set = SetFileSecurityA(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor);
  LocalFree(descriptor);
  return set;
}

// A folder that takes no new file: the replacement and its probe say so, and the old file stays.
TEST_F(ReplaceFileTest, ReadOnlyFolderIsRefused) {
  fs::create_directory(path("ro"));
  put("ro/q.hex", "old");
  ASSERT_TRUE(denyNewFiles(path("ro"), true));
  const HANDLE probe = CreateFileA(path("ro/probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    fs::remove(path("ro/probe"));
    denyNewFiles(path("ro"), false);
    GTEST_SKIP() << "this system lets the process add files to a folder whose access list "
                    "denies it (Wine keeps no access lists)";
  }
  const std::optional<ReplaceFailure> failure = replaceFile(path("ro/q.hex"), "new");
  const std::optional<std::string> blocker = replaceBlocker(path("ro/q.hex"));
  denyNewFiles(path("ro"), false);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->step, ReplaceFailure::Step::Create);
  EXPECT_TRUE(blocker.has_value());
  EXPECT_EQ(get("ro/q.hex"), "old");
  EXPECT_EQ(listing(), (std::set<std::string>{"ro", "ro/q.hex"}));
}

#else

TEST_F(ReplaceFileTest, PermissionsCarryOver) {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  put("real.hex", "old");
  ::chmod(path("real.hex").c_str(), 0640);
  fs::create_symlink("real.hex", path("link.hex"));
  const struct {
    const char* what;
    const char* target;
    const char* holder;  // the file whose mode is checked
    mode_t mode;
  } cases[] = {
      {"existing file", "real.hex", "real.hex", 0640},
      {"through a link", "link.hex", "real.hex", 0640},
      {"new file", "new.hex", "new.hex", 0666 & ~mask},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(replaceFile(path(c.target), "new"), std::nullopt);
    struct stat status {};
    ASSERT_EQ(::stat(path(c.holder).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, c.mode);
  }
}

// A save through a link reaches the file the link names, however it is named, and leaves every
// link as it was: a link to a file not there yet makes that file, a chain of links ends at its
// last one, and where the named file can't be made (its folder is missing, the links go round)
// the save fails and nothing changes.
TEST_F(ReplaceFileTest, LinksLeadToTheFileTheyName) {
  fs::create_directory(path("served"));
  put("served/page.html", "old");
  const struct {
    const char* what;
    const char* link;
    const char* names;    // what the link holds
    const char* written;  // the file that must hold the new content; null when the save fails
  } cases[] = {
      {"relative", "rel.html", "served/page.html", "served/page.html"},
      {"absolute", "abs.html", "", "served/page.html"},  // `names` filled in below
      {"to a file not there yet", "new.html", "served/new.html", "served/new.html"},
      {"to a link", "chain.html", "rel.html", "served/page.html"},
      {"into a missing folder", "lost.html", "gone/page.html", nullptr},
      {"round", "loop.html", "loop.html", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string names = *c.names != 0 ? c.names : path("served/page.html");
    fs::create_symlink(names, path(c.link));
    const std::set<std::string> before = listing();
    const auto failure = replaceFile(path(c.link), c.what);
    EXPECT_TRUE(fs::is_symlink(path(c.link)));
    EXPECT_EQ(fs::read_symlink(path(c.link)), names);
    if (c.written == nullptr) {
      EXPECT_TRUE(failure.has_value());
      EXPECT_TRUE(replaceBlocker(path(c.link)).has_value());
      EXPECT_EQ(listing(), before);
    } else {
      EXPECT_EQ(failure, std::nullopt);
      EXPECT_EQ(get(c.written), c.what);
    }
  }
}

// A write that the system cuts short (here the file size limit, its signal ignored) fails the
// replacement at the write, with what got written, and leaves the old file whole.
TEST_F(ReplaceFileTest, FailedWriteLeavesTheOldFileWhole) {
  put("q.hex", "the old content");
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 4;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::optional<ReplaceFailure> failure = replaceFile(path("q.hex"), "a longer new content");
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(failure->step, ReplaceFailure::Step::Write);
  EXPECT_EQ(failure->written, 4u);
  EXPECT_EQ(failure->reason, "File too large");
  EXPECT_EQ(get("q.hex"), "the old content");
  EXPECT_EQ(listing(), std::set<std::string>{"q.hex"});
}

// What the child of ReadOnlyFolderIsRefused found, as its exit status.
enum ChildVerdict { kRefused = 0, kNotRefused = 1, kStillWritable = 2 };

// A folder whose write permission is gone: the replacement and its probe are refused, and the
// old file stays. Root writes there all the same, so as root the check runs in a child that
// has given up root for the unprivileged "nobody".
TEST_F(ReplaceFileTest, ReadOnlyFolderIsRefused) {
  fs::create_directory(path("ro"));
  put("ro/q.hex", "old");
  ::chmod(dir_.c_str(), 0755);
  ::chmod(path("ro").c_str(), 0555);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(kStillWritable);
    }
    if (::access(path("ro").c_str(), W_OK) == 0) {
      ::_exit(kStillWritable);
    }
    const std::optional<ReplaceFailure> failure = replaceFile(path("ro/q.hex"), "new");
    const bool refused = failure && failure->step == ReplaceFailure::Step::Create &&
                         failure->reason == "Permission denied" &&
                         replaceBlocker(path("ro/q.hex")) == "Permission denied";
    ::_exit(refused ? kRefused : kNotRefused);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ::chmod(path("ro").c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kStillWritable) {
    GTEST_SKIP() << "the process can write to a folder without write permission and cannot "
                    "give that right up";
  }
  EXPECT_EQ(WEXITSTATUS(status), kRefused);
  EXPECT_EQ(get("ro/q.hex"), "old");
  EXPECT_EQ(listing(), (std::set<std::string>{"ro", "ro/q.hex"}));
}

#endif

}  // namespace
}  // namespace quillmar::platform
