// Whether two paths name one file, however they are spelt.
#pragma once

#include <string>

namespace quillmar::planprobe {

// True when `a` and `b` name the same file: the same path, another spelling of it, a hard link
// or a symbolic link to it. Paths of files that do not exist yet are compared as the absolute
// paths they would have.
bool IsSameFile(const std::string& a, const std::string& b);

}  // namespace quillmar::planprobe
