// Whole-file replacement, which keeps a failed save from damaging the file it was meant to
// replace: the new content goes to a temporary file in the target's folder, reaches the disk,
// and then takes the target's place in one step, so a reader sees the old file or the whole
// new one. What a user expects of saving a file holds: a symbolic link stays a link and the
// file it points to is replaced, an existing file's permissions carry over, and a new file
// gets the permissions any new file gets.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar::platform {

// Why a replacement failed, and how far it got.
struct ReplaceFailure {
  enum class Step { Create, Write, Rename };
  Step step = Step::Create;  // creating the temporary file, writing it, or renaming it
  std::size_t written = 0;   // bytes that reached the temporary file
  std::string reason;        // the system's error text (error_text.h)
};

// Replaces (or creates) the file at `path` with `contents`. On failure `path` is untouched
// and the temporary file is removed.
std::optional<ReplaceFailure> replaceFile(const std::string& path, std::string_view contents);

// What would keep replaceFile(path, ...) from replacing `path`, found out before there is
// anything to write: `path` is a folder, is a file the system will not replace (read-only on
// Windows), or its folder takes no new file (missing, read-only, no permission). The system's
// error text, or nothing when a replacement can go ahead. Leaves no file behind.
std::optional<std::string> replaceBlocker(const std::string& path);

}  // namespace quillmar::platform
