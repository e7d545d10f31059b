// Windows files through the system's own sharing modes: the file read is opened with read
// sharing only, so nobody can write it meanwhile; the one written with no sharing at all.
// A file that someone else holds in a conflicting way fails at once (sharing violation).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <limits>

#include "error_text.h"
#include "locked_file.h"

namespace quillmar::platform {

namespace {

// The system's description of GetLastError().
std::string lastError() {
  return systemErrorText(GetLastError());
}

// The system's handle behind ours.
HANDLE native(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Ours for the system's handle.
FileHandle wrap(HANDLE handle) {
  return reinterpret_cast<FileHandle>(handle);
}

// The largest transfer one ReadFile or WriteFile call takes.
DWORD chunk(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

}  // namespace

static_assert(kNoHandle == -1, "kNoHandle must match INVALID_HANDLE_VALUE");

SharedReader::~SharedReader() {
  if (handle_ != kNoHandle) {
    CloseHandle(native(handle_));
  }
}

bool SharedReader::open(const std::string& name, std::string& error) {
  // A folder fails here too: without backup semantics it cannot be opened as a file.
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = lastError();
    return false;
  }
  handle_ = wrap(file);
  return true;
}

std::ptrdiff_t SharedReader::read(std::span<char> buffer, std::string& error) {
  DWORD count = 0;
  if (!ReadFile(native(handle_), buffer.data(), chunk(buffer.size()), &count, nullptr)) {
    error = lastError();
    return -1;
  }
  return static_cast<std::ptrdiff_t>(count);
}

ExclusiveWriter::~ExclusiveWriter() {
  discard();
}

bool ExclusiveWriter::create(const std::string& name, std::string& error) {
  // CREATE_ALWAYS empties an existing file only once the open has succeeded, so a file that
  // someone else holds open (this run's own file being read included) is left as it is.
  const HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = lastError();
    return false;
  }
  handle_ = wrap(file);
  name_ = name;
  return true;
}

bool ExclusiveWriter::write(std::span<const char> bytes, std::string& error) {
  while (!bytes.empty()) {
    DWORD count = 0;
    if (!WriteFile(native(handle_), bytes.data(), chunk(bytes.size()), &count, nullptr)) {
      error = lastError();
      return false;
    }
    bytes = bytes.subspan(count);
  }
  return true;
}

bool ExclusiveWriter::close(std::string& error) {
  const HANDLE file = native(handle_);
  handle_ = kNoHandle;
  if (!CloseHandle(file)) {
    error = lastError();
    DeleteFileA(name_.c_str());
    return false;
  }
  return true;
}

void ExclusiveWriter::discard() {
  if (handle_ != kNoHandle) {
    CloseHandle(native(handle_));
    handle_ = kNoHandle;
    DeleteFileA(name_.c_str());
  }
}

}  // namespace quillmar::platform
