// Windows files through the system's own sharing modes: the source is opened with read
// sharing only, so nobody can write it meanwhile; the output is opened with no sharing at all.
// A file that someone else holds in a conflicting way fails at once (sharing violation).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <limits>

#include "page_file.h"

namespace quillmar::tildeconv {

namespace {

// The system's description of GetLastError(), without its trailing line end.
std::string lastError() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description =
      length > 0 ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r')) {
    description.pop_back();
  }
  return description;
}

HANDLE native(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

FileHandle wrap(HANDLE handle) {
  return reinterpret_cast<FileHandle>(handle);
}

// The largest transfer one ReadFile or WriteFile call takes.
DWORD chunk(std::size_t size) {
  return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

}  // namespace

static_assert(kNoHandle == -1, "kNoHandle must match INVALID_HANDLE_VALUE");

SourceFile::~SourceFile() {
  if (handle_ != kNoHandle) {
    CloseHandle(native(handle_));
  }
}

bool SourceFile::open(const std::string& name, std::string& error) {
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

std::ptrdiff_t SourceFile::read(std::span<char> buffer, std::string& error) {
  DWORD count = 0;
  if (!ReadFile(native(handle_), buffer.data(), chunk(buffer.size()), &count, nullptr)) {
    error = lastError();
    return -1;
  }
  return static_cast<std::ptrdiff_t>(count);
}

OutputFile::~OutputFile() {
  discard();
}

bool OutputFile::create(const std::string& name, std::string& error) {
  // CREATE_ALWAYS empties an existing file only once the open has succeeded, so a file that
  // someone else holds open (this run's own source included) is left as it is.
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

bool OutputFile::write(std::span<const char> bytes, std::string& error) {
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

bool OutputFile::close(std::string& error) {
  const HANDLE file = native(handle_);
  handle_ = kNoHandle;
  if (!CloseHandle(file)) {
    error = lastError();
    DeleteFileA(name_.c_str());
    return false;
  }
  return true;
}

void OutputFile::discard() {
  if (handle_ != kNoHandle) {
    CloseHandle(native(handle_));
    handle_ = kNoHandle;
    DeleteFileA(name_.c_str());
  }
}

}  // namespace quillmar::tildeconv
