// The simulator on a real pseudo-terminal, driven through SerialLink: replies arrive intact,
// the serving ends at its limits or on stop(), and the program prints its device and serves.
#include <stdio.h>
#include <sys/wait.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "bootsim/boot_simulator.h"
#include "image/fileio.h"
#include "link/serial_link.h"

namespace {

using quillmar::bootsim::BootSimulator;
using quillmar::bootsim::Faults;
using quillmar::bootsim::ServeEnd;
using quillmar::bootsim::ServeLimits;
using quillmar::link::SerialLink;

constexpr uint16_t kShortTimeoutMs = 200;

// Sends `command` and collects `replyLength` reply bytes (each -2 on a time-out).
std::vector<int> ask(SerialLink& link, const std::string& command, size_t replyLength,
                     uint16_t timeoutMs = 5000) {
  for (char byte : command) {
    link.writeByte(static_cast<uint8_t>(byte));
  }
  std::vector<int> reply;
  for (size_t i = 0; i < replyLength; ++i) {
    reply.push_back(link.readByte(timeoutMs));
  }
  return reply;
}

SerialLink linkTo(const BootSimulator& sim) {
  return SerialLink({sim.devicePath(), "", "", ""});
}

TEST(BootSimulatorTest, ServesThroughTheLinkUntilStopped) {
  BootSimulator sim;
  sim.loader().flash().bytes()[0] = 0x11;
  sim.loader().flash().bytes()[1] = 0x13;
  ASSERT_EQ(sim.start(), "");
  SerialLink link = linkTo(sim);
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(ask(link, "\x1b\x1b\x1b\x1bS", 7),
            (std::vector<int>{'A', 'V', 'R', 'B', 'O', 'O', 'T'}));
  EXPECT_EQ(ask(link, std::string("A\0\0R", 4), 3), (std::vector<int>{'\r', 0x13, 0x11}));
  sim.stop();
  EXPECT_EQ(sim.end(), ServeEnd::Stopped);
  EXPECT_EQ(ask(link, "a", 1, kShortTimeoutMs), (std::vector<int>{-2}));
}

TEST(BootSimulatorTest, StopsAfterTheGivenNumberOfCommands) {
  BootSimulator sim(Faults{}, ServeLimits{.sessions = 0, .commands = 3});
  ASSERT_EQ(sim.start(), "");
  SerialLink link = linkTo(sim);
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(ask(link,
                "a\x1b"
                "P",
                2),
            (std::vector<int>{'Y', '\r'}));
  sim.wait();
  EXPECT_EQ(sim.end(), ServeEnd::CommandLimit);
  EXPECT_EQ(ask(link, "a", 1, kShortTimeoutMs), (std::vector<int>{-2}));
}

// A client that leaves without reading a long reply neither blocks the simulator nor leaves
// the reply behind for the next client.
TEST(BootSimulatorTest, UnreadReplyOfALeavingClientIsLost) {
  BootSimulator sim(Faults{}, ServeLimits{.sessions = 2, .commands = 0});
  ASSERT_EQ(sim.start(), "");
  SerialLink link = linkTo(sim);
  ASSERT_EQ(link.open(0, 38400), "");
  const std::string blockRead(
      "A\0\0g\xFF\xFE"
      "F",
      7);  // 65534 bytes from address 0
  EXPECT_EQ(ask(link, blockRead, 3), (std::vector<int>{'\r', 0xFF, 0xFF}));
  link.close();
  for (int waited = 0; sim.sessionsEnded() == 0 && waited < 5000; ++waited) {
    usleep(1000);
  }
  ASSERT_EQ(sim.sessionsEnded(), 1u) << "the simulator is stuck on the unread reply";
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(ask(link, "a", 1), (std::vector<int>{'Y'}));
  link.close();
  sim.wait();
  EXPECT_EQ(sim.end(), ServeEnd::SessionLimit);
}

// Starts the program with `options` and returns it with the device from its first line.
FILE* startProgram(const std::string& options, std::string& device) {
  std::string command = std::string(QUILLMAR_BOOTSIM_PROGRAM) + " " + options;
  FILE* program = popen(command.c_str(), "r");
  char line[256] = {};
  if (program != nullptr && fgets(line, sizeof line, program) != nullptr) {
    device = line;
  }
  if (!device.empty() && device.back() == '\n') {
    device.pop_back();
  }
  return program;
}

bool exitedWith(int status, int code) {
  return WIFEXITED(status) && WEXITSTATUS(status) == code;
}

// The program: prints the device on its first line, then serves until its session limit.
TEST(BootSimulatorProgramTest, PrintsItsDeviceAndServesOneSession) {
  std::string device;
  FILE* program = startProgram("--sessions 1 --id BADBOOT", device);
  ASSERT_NE(program, nullptr);
  SerialLink link({device, "", "", ""});
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(ask(link, "S", 7), (std::vector<int>{'B', 'A', 'D', 'B', 'O', 'O', 'T'}));
  link.close();
  int status = pclose(program);
  EXPECT_TRUE(exitedWith(status, 0)) << status;
}

// A raw image goes in, a page is programmed over the line, and the flash comes out as HEX.
TEST(BootSimulatorProgramTest, LoadsAnImageAndDumpsTheFlashAtExit) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("quillmar-bootsim-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "start.bin", std::ios::binary) << "\x34\x12";
  std::string device;
  FILE* program = startProgram("--sessions 1 --load " + (dir / "start.bin").string() + " --dump " +
                                   (dir / "end.hex").string(),
                               device);
  ASSERT_NE(program, nullptr);
  SerialLink link({device, "", "", ""});
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(ask(link, std::string("A\0\0R", 4), 3), (std::vector<int>{'\r', 0x12, 0x34}));
  EXPECT_EQ(ask(link,
                std::string("A\x01\0c\x5A"
                            "C\xA5"
                            "m",
                            8),
                4),
            (std::vector<int>{'\r', '\r', '\r', '\r'}));
  link.close();
  ASSERT_TRUE(exitedWith(pclose(program), 0));

  std::vector<uint8_t> flash(128 * 1024);
  std::ostringstream diag;
  EXPECT_GE(quillmar::image::fileio(quillmar::image::Input, (dir / "end.hex").string(),
                                    quillmar::image::IntelHex, flash.data(),
                                    static_cast<int>(flash.size()), diag),
            0)
      << diag.str();
  EXPECT_EQ(flash[0], 0x34);
  EXPECT_EQ(flash[1], 0x12);
  EXPECT_EQ(flash[0x200], 0x5A);
  EXPECT_EQ(flash[0x201], 0xA5);
  EXPECT_EQ(flash[0x202], 0xFF);
  fs::remove_all(dir);
}

TEST(BootSimulatorProgramTest, RefusesAnImageItCannotLoad) {
  std::string command =
      std::string(QUILLMAR_BOOTSIM_PROGRAM) + " --load /nonexistent/start.hex 2>/dev/null";
  std::string device;
  FILE* program = popen(command.c_str(), "r");
  ASSERT_NE(program, nullptr);
  char line[256];
  EXPECT_EQ(fgets(line, sizeof line, program), nullptr) << "no device is offered";
  EXPECT_TRUE(exitedWith(pclose(program), 1));
}

TEST(BootSimulatorProgramTest, RejectsABadOption) {
  std::string command = std::string(QUILLMAR_BOOTSIM_PROGRAM) + " --nack m:0 2>/dev/null";
  EXPECT_TRUE(exitedWith(std::system(command.c_str()), 2));
}

}  // namespace
