// An independent client of the boot-loader command set (avrdude, programmer type avr109)
// programs, verifies and reads back an image through the simulator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

using bootsim::BootSimulator;

// Runs the independent client on the simulator with `operation` (-U argument); its output on
// failure.
std::string avrdude(const BootSimulator& sim, const TempFolder& folder,
                    const std::string& operation) {
  const std::string log = (folder.path() / "avrdude.log").string();
  const std::string command = "avrdude -c avr109 -p m128 -b 38400 -P " + sim.devicePath() + " -U " +
                              operation + " >" + log + " 2>&1";
  if (std::system(command.c_str()) == 0) {
    return "";
  }
  std::ifstream in(log);
  return "avrdude failed:\n" + std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(AvrdudeTest, ProgramsVerifiesAndReadsBackThroughTheSimulator) {
  if (std::system("command -v avrdude >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "avrdude is not installed (scripts/setup.sh installs it)";
  }
  TempFolder dir;
  // Odd size, across twelve pages, with the line's control characters among the data.
  std::vector<uint8_t> image = patternImage(3001, 5);
  std::copy_n("\x11\x13\x0D\x0A", 4, image.begin() + 0x100);
  writeImageFile(dir.path() / "image.hex", image);

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
    ASSERT_EQ(avrdude(sim, dir, "flash:w:" + (dir.path() / "image.hex").string() + ":i"), "");
    if (c.readBack) {
      ASSERT_EQ(avrdude(sim, dir, "flash:r:" + (dir.path() / "back.bin").string() + ":r"), "");
    }
    sim.stop();

    if (c.readBack) {
      std::ifstream back(dir.path() / "back.bin", std::ios::binary);
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
}  // namespace quillmar::testing
