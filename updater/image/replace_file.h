// Whole-file replacement: the platform layer that keeps a failed save from damaging the file
// it was meant to replace (replace_file_posix.cpp; a Windows variant goes beside it).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar::image {

// Why a replacement failed, and how far it got.
struct ReplaceFailure {
  enum class Step { Create, Write, Rename };
  Step step = Step::Create;  // creating the temporary file, writing it, or renaming it
  std::size_t written = 0;   // bytes that reached the temporary file
  std::string reason;        // the system's error text
};

// Replaces the file at `path` with `contents`: writes them to a new temporary file in the same
// folder, flushes it to the disk and renames it over `path`, so `path` always holds either the
// old file or the whole new one. An existing file's permissions carry over; a symbolic link
// stays and its target is replaced. On failure `path`
// is untouched and the temporary file is removed.
std::optional<ReplaceFailure> replaceFile(const std::string& path, std::string_view contents);

// What would keep replaceFile(path, ...) from replacing `path`, found out before there is
// anything to write: `path` is a folder, is read-only, or its folder takes no new file (missing,
// read-only, no permission). The system's error text, or nothing when a replacement can go
// ahead. Leaves no file behind.
std::optional<std::string> replaceBlocker(const std::string& path);

}  // namespace quillmar::image
