// The simulator on a real pseudo-terminal, driven through SerialLink: replies arrive intact,
// the serving ends at its limits or on stop(), and the program prints its device and serves.
#include <stdio.h>
#include <sys/wait.h>

#include <string>

#include <gtest/gtest.h>

#include "bootsim/boot_simulator.h"
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

TEST(BootSimulatorTest, StopsAfterTheGivenNumberOfSessions) {
  BootSimulator sim(Faults{}, ServeLimits{.sessions = 2, .commands = 0});
  ASSERT_EQ(sim.start(), "");
  SerialLink link = linkTo(sim);
  for (int session = 0; session < 2; ++session) {
    ASSERT_EQ(link.open(0, 38400), "");
    EXPECT_EQ(ask(link, "a", 1), (std::vector<int>{'Y'}));
    link.close();
  }
  sim.wait();
  EXPECT_EQ(sim.end(), ServeEnd::SessionLimit);
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

// The program: prints the device on its first line, then serves until its session limit.
TEST(BootSimulatorProgramTest, PrintsItsDeviceAndServesOneSession) {
  std::string command = std::string(QUILLMAR_BOOTSIM_PROGRAM) + " --sessions 1 --id BADBOOT";
  FILE* program = popen(command.c_str(), "r");
  ASSERT_NE(program, nullptr);
  char line[256] = {};
  ASSERT_NE(fgets(line, sizeof line, program), nullptr);
  std::string device(line);
  ASSERT_FALSE(device.empty());
  ASSERT_EQ(device.back(), '\n');
  device.pop_back();

  SerialLink link({device, "", "", ""});
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(ask(link, "S", 7), (std::vector<int>{'B', 'A', 'D', 'B', 'O', 'O', 'T'}));
  link.close();
  int status = pclose(program);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(BootSimulatorProgramTest, RejectsABadOption) {
  std::string command = std::string(QUILLMAR_BOOTSIM_PROGRAM) + " --nack m:0 2>/dev/null";
  int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

}  // namespace
