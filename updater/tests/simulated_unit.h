// Test fixtures for the updater end to end: a temporary program folder, image files in it, and
// the simulated unit on a pseudo-terminal wired as COM2 of an UpdaterPresenter.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "boot/updater_presenter.h"
#include "bootsim/boot_simulator.h"
#include "image/fileio.h"
#include "tests/recording_ui.h"

namespace quillmar::testing {

namespace fs = std::filesystem;

// The port index the tests use: COM2, so a mix-up with COM1 shows.
inline constexpr int kUnitPort = 1;
// Short enough that a silent unit costs little, long enough for a loaded machine.
inline constexpr uint16_t kTestReplyTimeoutMs = 500;

// A fresh folder under the system's temporary directory, removed with its contents.
class TempFolder {
 public:
  TempFolder() {
    static int serial = 0;
    path_ = fs::temp_directory_path() /
            ("quillmar-updater-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  fs::path path_;
};

// `size` bytes that differ from their neighbours and from the erased value in most places.
inline std::vector<uint8_t> patternImage(int size, int seed = 0) {
  std::vector<uint8_t> image(size);
  for (int i = 0; i < size; ++i)
    image[i] = static_cast<uint8_t>((i * 7 + i / 256 + seed) & 0xFF);
  return image;
}

// Saves `image` as an Intel HEX file; an empty image gives a file with only the end record.
inline void writeImageFile(const fs::path& file, std::vector<uint8_t> image) {
  std::ostringstream diag;
  image::fileio(image::Output, file.string(), image::IntelHex, image.data(),
                static_cast<int>(image.size()), diag);
}

// Loads an Intel HEX file into a 130560-byte buffer; the size loaded goes to `size`.
inline std::vector<uint8_t> readImageFile(const fs::path& file, int& size) {
  std::vector<uint8_t> buffer(boot::kAppRegionBytes);
  std::ostringstream diag;
  size = image::fileio(image::Input, file.string(), image::IntelHex, buffer.data(),
                       boot::kAppRegionBytes, diag);
  return buffer;
}

// The platform's port table with the simulated unit as COM2 and nothing behind COM1.
inline link::PortDevices unitDevices(const std::string& unitPath) {
  return {"/nonexistent/quillmar-com1", unitPath, "/nonexistent/quillmar-com3",
          "/nonexistent/quillmar-com4"};
}

// One simulated unit plus a presenter that reaches it as COM2, recording what the user sees.
// The presenter starts with the legacy dialogue, which most tests pin byte for byte; the tests of
// the steps before the erase give it their own safety.
class SimulatedUnit {
 public:
  explicit SimulatedUnit(bootsim::Faults faults = {}) : sim_(std::move(faults)) {}

  // The unit's flash by byte address; change it only before start().
  std::span<uint8_t> flash() { return sim_.loader().flash().bytes(); }
  // The simulated boot loader; touch it only before start() or after stop().
  bootsim::BootLoader& loader() { return sim_.loader(); }

  // Starts serving the unit. Returns "" or what failed.
  std::string start() {
    std::string error = sim_.start();
    if (error.empty()) {
      presenter_ = std::make_unique<boot::UpdaterPresenter>(
          ui, diag, unitDevices(sim_.devicePath()), kTestReplyTimeoutMs);
      boot::UpdateSafety legacy;
      legacy.legacy = true;
      presenter_->programmer().setSafety(legacy);
    }
    return error;
  }
  // Ends the serving, so flash() shows the final contents.
  void stop() { sim_.stop(); }

  boot::UpdaterPresenter& presenter() { return *presenter_; }
  boot::BootProgrammer& programmer() { return presenter_->programmer(); }
  std::string devicePath() const { return sim_.devicePath(); }
  // Bytes the unit has received; read it only after stop().
  uint64_t bytesReceived() { return sim_.loader().bytesReceived(); }

  RecordingUi ui;
  std::ostringstream diag;

 private:
  bootsim::BootSimulator sim_;
  std::unique_ptr<boot::UpdaterPresenter> presenter_;
};

}  // namespace quillmar::testing
