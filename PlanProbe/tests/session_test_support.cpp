#include "tests/session_test_support.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace quillmar::planprobe::testing {

ScratchDir::ScratchDir() {
  // A random run tag keeps test processes that run side by side apart.
  static const std::string run = std::to_string(std::random_device()());
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("planprobe-test-" + run + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::expand(std::string text) const {
  const std::string dir = path_.string();
  for (size_t at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at)) {
    text.replace(at, 5, dir);
    at += dir.size();
  }
  return text;
}

Args::Args(const ScratchDir& dir, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    texts_.push_back(dir.expand(arg));
  }
  for (const std::string& text : texts_) {
    pointers_.push_back(text.c_str());
  }
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace quillmar::planprobe::testing
