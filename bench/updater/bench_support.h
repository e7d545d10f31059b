// What the updater benchmarks share: an operation UI that shows its messages only, so that no
// drawing enters their figures, the clock they time with, and the folder with the image they
// program.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "boot/operation_ui.h"
#include "image/fileio.h"

namespace quillmar::bench {

class SilentUi : public boot::OperationUi {
 public:
  void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
  void setProgressRange(int) override {}
  void setProgressPosition(int) override {}
  void setStatus(const std::string&) override {}
};

// Seconds since `start` on the steady clock.
inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A new temporary folder named after `name` and this process, holding quillmar.hex: `size` bytes
// that differ from their neighbours, so every byte goes over the line.
inline std::filesystem::path imageFolder(const std::string& name, int size) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::vector<uint8_t> image(size);
  for (int i = 0; i < size; ++i)
    image[i] = static_cast<uint8_t>(i * 7 + i / 256);
  std::ostringstream diag;
  image::fileio(image::Output, (folder / "quillmar.hex").string(), image::IntelHex, image.data(),
                size, diag);
  return folder;
}

}  // namespace quillmar::bench
