#include "test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace quillmar::tildeconv::testing {

ScratchFolder::ScratchFolder() {
  // create_directory() reports whether it made the folder, so a name in use is never shared.
  std::random_device random;
  const std::filesystem::path base(::testing::TempDir());
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base / ("tildeconv-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(path_, error)) {
      return;
    }
  }
  ADD_FAILURE() << "cannot create a scratch folder in " << base;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << "cannot write " << path;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file.is_open()) << "cannot read " << path;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace quillmar::tildeconv::testing
