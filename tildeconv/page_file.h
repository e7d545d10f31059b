// The converter's two files, behind the platform's own file calls (page_file_posix.cpp; a
// Win32 variant goes beside it). While the source is open others may read it but not write
// it; the output belongs to this run alone. On POSIX both are advisory whole-file locks.
// Failures come back as the system's own description of the cause.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace quillmar::tildeconv {

// A platform file handle; kNoHandle when closed.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoHandle = -1;

// The page being converted, opened for reading only.
class SourceFile {
 public:
  SourceFile() = default;
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // Opens `name` for reading and keeps writers out while it is open. On failure (missing,
  // a folder, held by a writer) returns false with the reason in `error`.
  bool open(const std::string& name, std::string& error);
  // Reads up to buffer.size() bytes: the count read, 0 at the end of the file, or -1 with the
  // reason in `error`.
  std::ptrdiff_t read(std::span<char> buffer, std::string& error);

 private:
  FileHandle handle_ = kNoHandle;
};

// The converted page, written from empty. Until close() succeeds it is unfinished, and an
// unfinished output is removed rather than left behind half-written.
class OutputFile {
 public:
  OutputFile() = default;
  // Removes the file if it is still unfinished.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates `name`, or empties it if it exists, for this run's exclusive use. Fails (false,
  // reason in `error`) without touching an existing file that someone else holds open.
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

}  // namespace quillmar::tildeconv
