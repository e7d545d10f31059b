// The simulator on a real pseudo-terminal, driven through SerialLink: replies arrive intact,
// and the serving ends at its limits or on stop(). The program itself is in the transcript.
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

}  // namespace
