// Appends through O_APPEND, so each write lands at the end of the file as it is then, under
// flock, so that a line's writes are not split by another appender's.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "appended_line.h"
#include "error_text.h"

namespace quillmar::platform {
namespace {

// What failed, with the text of errno.
std::string failed(const char* what) {
  return std::string(what) + ": " + systemErrorText(static_cast<unsigned long>(errno));
}

// Writes all of `text` to `fd`; false on an error.
bool writeAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno != EINTR) {
      return false;
    }
    written += n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  return true;
}

}  // namespace

std::optional<std::string> appendLine(const std::string& path, const std::string& line) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    return failed("cannot open");
  }
  std::optional<std::string> failure;
  int locked;
  while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked != 0) {
    failure = failed("cannot lock");
  } else if (!writeAll(fd, line + '\n')) {
    failure = failed("cannot write");
  }
  // Closing releases the lock; on a network file system it is also where a write can fail.
  if (::close(fd) != 0 && !failure) {
    failure = failed("cannot write");
  }
  return failure;
}

}  // namespace quillmar::platform
