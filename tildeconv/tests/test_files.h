// Scratch folders and whole-file helpers for the tests.
#pragma once

#include <filesystem>
#include <string>

namespace quillmar::tildeconv::testing {

// A fresh empty folder, removed with everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder.
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Writes bytes as the whole content of path.
void writeFile(const std::filesystem::path& path, const std::string& bytes);
// The whole content of path; fails the test if it cannot be read.
std::string readFile(const std::filesystem::path& path);

}  // namespace quillmar::tildeconv::testing
