// POSIX files with flock(2) locks: shared on the one read, exclusive on the one written, both taken
// without waiting so that a busy file fails at once instead of hanging the run.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include "error_text.h"
#include "locked_file.h"

namespace quillmar::platform {

namespace {

// The system's description of errno.
std::string lastError() {
  return systemErrorText(errno);
}

// The descriptor behind a handle.
int fd(FileHandle handle) {
  return static_cast<int>(handle);
}

// Takes the lock without waiting. Only "someone else holds it" fails: a file system that
// cannot lock at all (some network and user-space ones) still gets used.
bool lockNow(int descriptor, int operation) {
  while (flock(descriptor, operation | LOCK_NB) != 0) {
    if (errno != EINTR) {
      return errno != EWOULDBLOCK;
    }
  }
  return true;
}

// Records errno as the reason in error, then closes descriptor; returns false for chaining.
bool closeFailed(int descriptor, std::string& error) {
  error = lastError();
  ::close(descriptor);
  return false;
}

}  // namespace

SharedReader::~SharedReader() {
  if (handle_ != kNoHandle) {
    ::close(fd(handle_));
  }
}

bool SharedReader::open(const std::string& name, std::string& error) {
  const int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    error = lastError();
    return false;
  }
  struct stat info {};
  if (fstat(descriptor, &info) != 0) {
    return closeFailed(descriptor, error);
  }
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return closeFailed(descriptor, error);
  }
  if (!lockNow(descriptor, LOCK_SH)) {
    return closeFailed(descriptor, error);
  }
  handle_ = descriptor;
  return true;
}

std::ptrdiff_t SharedReader::read(std::span<char> buffer, std::string& error) {
  for (;;) {
    const ssize_t count = ::read(fd(handle_), buffer.data(), buffer.size());
    if (count >= 0) {
      return count;
    }
    if (errno != EINTR) {
      error = lastError();
      return -1;
    }
  }
}

ExclusiveWriter::~ExclusiveWriter() {
  discard();
}

bool ExclusiveWriter::create(const std::string& name, std::string& error) {
  // Not O_TRUNC: the file is emptied only once the lock shows nobody else is using it (nor
  // this run's own file being read, should the name lead back to it).
  const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    error = lastError();
    return false;
  }
  if (!lockNow(descriptor, LOCK_EX)) {
    return closeFailed(descriptor, error);
  }
  struct stat info {};
  if (fstat(descriptor, &info) != 0) {
    return closeFailed(descriptor, error);
  }
  // Only a file with content is emptied: some file systems start flushing a file to disk at
  // close once it has been truncated, which a new file need not pay for.
  if (S_ISREG(info.st_mode) && info.st_size > 0 && ftruncate(descriptor, 0) != 0) {
    return closeFailed(descriptor, error);
  }
  handle_ = descriptor;
  name_ = name;
  return true;
}

bool ExclusiveWriter::write(std::span<const char> bytes, std::string& error) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd(handle_), bytes.data(), bytes.size());
    if (count < 0 && errno != EINTR) {
      error = lastError();
      return false;
    }
    bytes = bytes.subspan(count < 0 ? 0 : static_cast<size_t>(count));
  }
  return true;
}

bool ExclusiveWriter::close(std::string& error) {
  const int descriptor = fd(handle_);
  handle_ = kNoHandle;
  if (::close(descriptor) != 0) {
    error = lastError();
    unlink(name_.c_str());
    return false;
  }
  return true;
}

void ExclusiveWriter::discard() {
  if (handle_ != kNoHandle) {
    ::close(fd(handle_));
    handle_ = kNoHandle;
    unlink(name_.c_str());
  }
}

}  // namespace quillmar::platform
