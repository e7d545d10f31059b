// Whole-file replacement on POSIX systems: mkstemp in the same folder, write, fsync, rename.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "log/replace_file.h"

namespace quillmar::planprobe {

namespace {

// Writes all of `content` to `fd`; false with errno set on failure.
bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t count = ::write(fd, content.data(), content.size());
    if (count < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    content.remove_prefix(static_cast<size_t>(count));
  }
  return true;
}

}  // namespace

std::string ReplaceFileContent(const std::string& path, std::string_view content) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string pattern = folder + ".planprobe-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    return std::strerror(errno);
  }
  // mkstemp makes the file private: the page keeps the permissions of the file it replaces,
  // and a new one is readable by all, as pages are.
  struct stat old {};
  ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644);
  bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
  int reason = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && std::rename(name.data(), path.c_str()) == 0) {
    return {};
  }
  reason = ok ? errno : reason;
  std::remove(name.data());
  return std::strerror(reason);
}

}  // namespace quillmar::planprobe
