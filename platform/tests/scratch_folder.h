// A test's own folder in the system's temporary folder, made before each test and removed
// after it, with the few file operations the platform tests need inside it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

namespace quillmar::platform {

class ScratchFolder : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / ("platform-" + std::to_string(random()));
    ASSERT_TRUE(std::filesystem::create_directory(dir_));
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // The path of `name` inside the folder.
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  // Writes `bytes` as the whole file `name`.
  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  // The whole content of the file `name`; empty when there is none.
  std::string get(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The names in the folder and the folders below it, relative to it.
  std::set<std::string> listing() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_)) {
      names.insert(entry.path().lexically_relative(dir_).generic_string());
    }
    return names;
  }

  std::filesystem::path dir_;
};

}  // namespace quillmar::platform
