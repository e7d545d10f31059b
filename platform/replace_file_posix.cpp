// Whole-file replacement on POSIX systems: a new file in the target's folder, written and
// fsync'ed, renamed over the target, and the folder synced so that the rename lasts too.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "error_text.h"
#include "replace_file.h"

namespace quillmar::platform {
namespace {

// The folder that holds `path`, with its trailing slash ("" for the current folder).
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a save replaces: what a symbolic link names rather than the link itself, as writing
// through the link would, also where that file is not there yet (it is then made). Links to
// links are followed to the end; false, with errno ELOOP, for a chain that never ends.
bool resolveTarget(const std::string& path, std::string& target) {
  constexpr int kMostLinks = 40;  // as the system allows in a path
  target = path;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      return true;
    }
    std::string named(static_cast<std::size_t>(status.st_size) + 1, '\0');
    const ssize_t length = ::readlink(target.c_str(), named.data(), named.size());
    if (length < 0 || static_cast<std::size_t>(length) >= named.size()) {
      return true;  // changed under us: the rename below sees the link as it is then
    }
    named.resize(static_cast<std::size_t>(length));
    target = named.starts_with('/') ? named : folderOf(target) + named;
  }
  errno = ELOOP;
  return false;
}

// Creates a new, uniquely named file in `folder` for writing; returns its descriptor and name,
// or -1 with errno set. Mode 0666 lets the umask decide, as for any newly created file.
int createTemporary(const std::string& folder, std::string& name) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + ".replacing-" + std::to_string(random()) + ".tmp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

// Gives the new file the permissions of the regular file it replaces, if any.
void keepPermissions(int fd, const std::string& path) {
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(fd, old.st_mode & 07777);
  }
}

// Writes all of `contents`, counting in `written` what reached the file; false on an error.
bool writeAll(int fd, std::string_view contents, std::size_t& written) {
  while (written < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
    if (n < 0 && errno != EINTR) {
      return false;
    }
    written += n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  return true;
}

// Makes the rename itself durable. Best effort: the data is already on the disk.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::optional<ReplaceFailure> replaceFile(const std::string& requested, std::string_view contents) {
  std::string path;
  if (!resolveTarget(requested, path)) {
    return ReplaceFailure{ReplaceFailure::Step::Create, 0, systemErrorText(errno)};
  }
  const std::string folder = folderOf(path);
  std::string temporary;
  const int fd = createTemporary(folder, temporary);
  if (fd < 0) {
    return ReplaceFailure{ReplaceFailure::Step::Create, 0, systemErrorText(errno)};
  }
  keepPermissions(fd, path);
  std::size_t written = 0;
  bool ok = writeAll(fd, contents, written) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  ReplaceFailure::Step step = ReplaceFailure::Step::Write;
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
    step = ReplaceFailure::Step::Rename;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return ReplaceFailure{step, written, systemErrorText(error)};
  }
  syncFolder(folder);
  return std::nullopt;
}

std::optional<std::string> replaceBlocker(const std::string& requested) {
  std::string path;
  if (!resolveTarget(requested, path)) {
    return systemErrorText(errno);
  }
  struct stat target {};
  if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
    return systemErrorText(EISDIR);
  }
  // A read-only regular file is no obstacle: the rename replaces it as the folder allows.
  std::string temporary;
  const int fd = createTemporary(folderOf(path), temporary);
  if (fd < 0) {
    return systemErrorText(errno);
  }
  ::close(fd);
  ::unlink(temporary.c_str());
  return std::nullopt;
}

}  // namespace quillmar::platform
