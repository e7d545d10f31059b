// Files held against other programs while a run reads or writes them: one read while others
// may read it but not write it, one written from empty by this run alone. On POSIX both are
// advisory whole-file locks (flock), on Windows the system's sharing modes. Failures come back
// as the system's own description of the cause (error_text.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quillmar::platform {

// A platform file handle; kNoHandle when closed.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoHandle = -1;

// A file opened for reading only, which nobody may write while it is open.
class SharedReader {
 public:
  SharedReader() = default;
  ~SharedReader();
  SharedReader(const SharedReader&) = delete;
  SharedReader& operator=(const SharedReader&) = delete;

  // Opens `name` for reading and keeps writers out while it is open. On failure (missing,
  // a folder, held by a writer) returns false with the reason in `error`.
  bool open(const std::string& name, std::string& error);
  // Reads up to buffer.size() bytes: the count read, 0 at the end of the file, or -1 with the
  // reason in `error`.
  std::ptrdiff_t read(std::span<char> buffer, std::string& error);

 private:
  FileHandle handle_ = kNoHandle;
};

// A file written from empty by this run alone. Until close() succeeds it is unfinished, and
// an unfinished file is removed rather than left behind half-written.
class ExclusiveWriter {
 public:
  ExclusiveWriter() = default;
  // Removes the file if it is still unfinished.
  ~ExclusiveWriter();
  ExclusiveWriter(const ExclusiveWriter&) = delete;
  ExclusiveWriter& operator=(const ExclusiveWriter&) = delete;

  // Creates `name`, or empties it if it exists, for this run's exclusive use; a symbolic link
  // is written through, to the file it leads to. Fails (false, reason in `error`) without
  // touching an existing file that someone else holds open.
  bool create(const std::string& name, std::string& error);
  // Writes all of `bytes`, or returns false with the reason in `error`.
  bool write(std::span<const char> bytes, std::string& error);
  // Finishes the file. A failure here (data that could not be stored) is a write failure,
  // and the file is removed.
  bool close(std::string& error);
  // Closes and removes an unfinished file; does nothing when none is open.
  void discard();

 private:
  FileHandle handle_ = kNoHandle;
  std::string name_;
};

}  // namespace quillmar::platform
