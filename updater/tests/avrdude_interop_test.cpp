// An independent client of the boot-loader command set (avrdude, programmer type avr109)
// programs, verifies and reads back an image through the simulator.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bootsim/boot_simulator.h"

namespace {

namespace fs = std::filesystem;
using quillmar::bootsim::BootSimulator;

// `data` as Intel HEX data records of 16 bytes from address 0, then the end record.
std::string intelHex(const std::vector<uint8_t>& data) {
  std::ostringstream text;
  char field[4];
  for (size_t start = 0; start < data.size(); start += 16) {
    std::vector<uint8_t> record = {0, static_cast<uint8_t>(start >> 8),
                                   static_cast<uint8_t>(start & 0xFF), 0};
    for (size_t at = start; at < data.size() && at < start + 16; ++at) {
      record.push_back(data[at]);
    }
    record[0] = static_cast<uint8_t>(record.size() - 4);
    uint8_t sum = 0;
    text << ':';
    for (uint8_t byte : record) {
      sum = static_cast<uint8_t>(sum + byte);
      std::snprintf(field, sizeof field, "%02X", byte);
      text << field;
    }
    std::snprintf(field, sizeof field, "%02X", static_cast<uint8_t>(-sum));
    text << field << '\n';
  }
  text << ":00000001FF\n";
  return text.str();
}

bool haveAvrdude() {
  return std::system("command -v avrdude >/dev/null 2>&1") == 0;
}

class AvrdudeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveAvrdude()) {
      GTEST_SKIP() << "avrdude is not installed (scripts/setup.sh installs it)";
    }
    dir_ = fs::temp_directory_path() / ("quillmar-avrdude-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) {
      fs::remove_all(dir_);
    }
  }

  // Runs avrdude on the simulator with `operation` (-U argument); its output on failure.
  std::string avrdude(const BootSimulator& sim, const std::string& operation) {
    fs::path log = dir_ / "avrdude.log";
    std::string command = "avrdude -c avr109 -p m128 -b 38400 -P " + sim.devicePath() + " -U " +
                          operation + " >" + log.string() + " 2>&1";
    if (std::system(command.c_str()) == 0) {
      return "";
    }
    std::ifstream in(log);
    return "avrdude failed:\n" + std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path dir_;
};

TEST_F(AvrdudeTest, ProgramsVerifiesAndReadsBackThroughTheSimulator) {
  std::vector<uint8_t> image(3001);  // odd size, across twelve pages
  for (size_t at = 0; at < image.size(); ++at) {
    image[at] = static_cast<uint8_t>(at * 13 + at / 256);
  }
  image[0x100] = 0x11;
  image[0x101] = 0x13;
  image[0x102] = 0x0D;
  image[0x103] = 0x0A;
  std::ofstream(dir_ / "image.hex") << intelHex(image);

  // Also on the modelled line, where every reply takes its time: avrdude writes and verifies
  // there (a whole-flash read-back would take a minute).
  struct Case {
    const char* name;
    quillmar::bootsim::LineTiming line;
    bool readBack;
  };
  const Case cases[] = {{"at once", {}, true}, {"38400 bit/s, 16 ms latency", {38400, 16}, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BootSimulator sim({}, {}, c.line);
    sim.loader().flash().bytes()[0x8000] = 0x00;  // the chip erase must clear this
    ASSERT_EQ(sim.start(), "");
    ASSERT_EQ(avrdude(sim, "flash:w:" + (dir_ / "image.hex").string() + ":i"), "");
    if (c.readBack) {
      ASSERT_EQ(avrdude(sim, "flash:r:" + (dir_ / "back.bin").string() + ":r"), "");
    }
    sim.stop();

    if (c.readBack) {
      std::ifstream back(dir_ / "back.bin", std::ios::binary);
      std::vector<uint8_t> readBack(std::istreambuf_iterator<char>(back), {});
      ASSERT_GE(readBack.size(), image.size());
      EXPECT_TRUE(std::equal(image.begin(), image.end(), readBack.begin()));
    }
    auto flash = sim.loader().flash().bytes();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
    EXPECT_EQ(flash[0x8000], 0xFF);
  }
}

}  // namespace
