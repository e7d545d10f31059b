// Helpers for running whole planprobe sessions inside a test, with files in a scratch folder.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace quillmar::planprobe::testing {

// A fresh folder under the system's temporary folder, removed again at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder, as text.
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Replaces every "{dir}" in `text` by the folder's path.
  std::string expand(std::string text) const;

 private:
  std::filesystem::path path_;
};

// Command-line arguments with every "{dir}" replaced by the folder, as a session takes them.
class Args {
 public:
  Args(const ScratchDir& dir, const std::vector<std::string>& args);
  std::span<const char* const> view() const { return pointers_; }

 private:
  std::vector<std::string> texts_;
  std::vector<const char*> pointers_;
};

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

}  // namespace quillmar::planprobe::testing
