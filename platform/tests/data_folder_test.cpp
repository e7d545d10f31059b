// The user's data folder as each system's conventions and the environment place it, and the
// making of it: new, already there, or blocked by a file.
#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/data_folder.h"
#include "platform/tests/scoped_variable.h"
#include "platform/tests/scratch_folder.h"

namespace quillmar::platform {
namespace {

#ifdef _WIN32
TEST(UserDataFolder, FromTheEnvironment) {
  const struct {
    const char* localAppData;  // null: unset
    const char* folder;        // null: some absolute folder of the system's, \QUILLmar in it
  } cases[] = {
      {"C:\\Users\\ann\\AppData\\Local", "C:\\Users\\ann\\AppData\\Local\\QUILLmar"},
      {"D:\\data\\", "D:\\data\\QUILLmar"},
      {nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.localAppData != nullptr ? c.localAppData : "unset");
    const ScopedVariable local("LOCALAPPDATA", c.localAppData);
    const std::string folder = userDataFolder();
    if (c.folder != nullptr) {
      EXPECT_EQ(folder, c.folder);
    } else {
      EXPECT_TRUE(std::filesystem::path(folder).is_absolute()) << folder;
      EXPECT_TRUE(folder.ends_with("\\QUILLmar")) << folder;
    }
  }
}
#else
TEST(UserDataFolder, FromTheEnvironment) {
  const std::string own = std::string(getpwuid(getuid())->pw_dir) + "/.local/share/quillmar";
  const struct {
    const char* what;
    const char* dataHome;  // XDG_DATA_HOME; null: unset
    const char* home;      // HOME; null: unset
    std::string folder;
  } cases[] = {
      {"absolute data home", "/srv/data", "/home/ann", "/srv/data/quillmar"},
      {"with a trailing slash", "/srv/data/", "/home/ann", "/srv/data/quillmar"},
      {"relative data home, ignored", "srv/data", "/home/ann", "/home/ann/.local/share/quillmar"},
      {"empty data home", "", "/home/ann", "/home/ann/.local/share/quillmar"},
      {"no data home", nullptr, "/home/ann", "/home/ann/.local/share/quillmar"},
      {"no HOME: the password database's", nullptr, nullptr, own},
      {"empty HOME: the password database's", nullptr, "", own},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ScopedVariable dataHome("XDG_DATA_HOME", c.dataHome);
    const ScopedVariable home("HOME", c.home);
    EXPECT_EQ(userDataFolder(), c.folder);
  }
}
#endif

using MakeFoldersTest = ScratchFolder;

TEST_F(MakeFoldersTest, NewOrExistingFoldersAndAFileInTheWay) {
  put("file", "x");
  const struct {
    const char* folder;
    bool made;
  } cases[] = {
      {"a/b/c", true},
      {"a", true},  // already there
      {"file", false},
      {"file/sub", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::optional<std::string> failure = makeFolders(path(c.folder));
    EXPECT_EQ(failure.has_value(), !c.made);
    if (failure) {
      EXPECT_FALSE(failure->empty());
      EXPECT_NE(failure->back(), '\n');
    } else {
      EXPECT_TRUE(std::filesystem::is_directory(path(c.folder)));
    }
  }
  EXPECT_EQ(get("file"), "x");
}

}  // namespace
}  // namespace quillmar::platform
