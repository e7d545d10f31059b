// The XDG base directory convention for user data, with its default under the home folder.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "data_folder.h"

namespace quillmar::platform {
namespace {

// The value of the environment variable `name`; empty when it is unset.
std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : value;
}

// The user's home as the password database names it (thread-safe); empty when it names none.
std::string passwordHome() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

}  // namespace

std::string userDataFolder() {
  const std::string data = environment("XDG_DATA_HOME");
  if (data.starts_with('/')) {  // the convention ignores a relative one
    return (std::filesystem::path(data) / "quillmar").string();
  }
  std::string home = environment("HOME");
  if (home.empty()) {
    home = passwordHome();
  }
  return (std::filesystem::path(home) / ".local/share/quillmar").string();
}

}  // namespace quillmar::platform
