// Whole-file replacement: the new content goes to a temporary file in the target's folder,
// which then takes the target's place in one step, so a reader sees the old file or the new
// one and a failure leaves the old one as it was.
#pragma once

#include <string>
#include <string_view>

namespace quillmar::planprobe {

// Replaces (or creates) the file at `path` with `content`. Returns the system's description
// of what failed; empty on success. On failure no temporary file is left behind.
std::string ReplaceFileContent(const std::string& path, std::string_view content);

}  // namespace quillmar::planprobe
