// quillmar-update's choice of port with --port auto, against simulated units on their own
// pseudo-terminals; what each command prints and returns is pinned by the transcript.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_line.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

// --port auto asks the listed ports in order and takes the first boot loader; a port another
// program holds is passed over without a byte, and a unit that answers something else is not
// taken.
TEST(UpdateCommandTest, AutoPortTakesTheFirstBootLoaderThatAnswers) {
  SimulatedUnit held;
  bootsim::Faults wrongId;
  wrongId.identifier = "XYZ\x01";
  SimulatedUnit stranger(wrongId);
  SimulatedUnit unit;
  const std::string version = "CVersion 2.05";
  std::copy(version.begin(), version.end(), unit.flash().begin());
  for (SimulatedUnit* sim : {&held, &stranger, &unit})
    ASSERT_EQ(sim->start(), "");
  link::SerialLink other(unitDevices(held.devicePath()));
  ASSERT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");

  struct Case {
    const char* name;
    std::vector<std::string> devices;
    int status;
    std::string out;
    std::string err;  // %h, %s, %u: the held, stranger's and unit's devices
  };
  const Case cases[] = {
      {"unit last",
       {held.devicePath(), stranger.devicePath(), unit.devicePath()},
       0,
       "Fetching version. Please wait...\nQUILLmar Version 2.05\n",
       "--port auto: the boot loader answers on %u\n"},
      {"no unit",
       {held.devicePath(), stranger.devicePath()},
       1,
       "",
       "--port auto: no boot loader answered \"AVRBOOT\"; tried:\n"
       "  %h: in use by another program; close that program or choose another port.\n"
       "  %s: answered \"XYZ\\x01\"\n"},
      {"no ports", {}, 1, "", "--port auto: no serial ports were found on this computer.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const cli::PortLister lister = [&] {
      std::vector<link::SerialPortInfo> ports;
      for (const std::string& device : c.devices)
        ports.push_back({device, "pseudo-terminal", "", false, "", "", ""});
      return ports;
    };
    std::ostringstream out, err;
    const int status = cli::runCommandLine({"--port", "auto", "version"}, out, err, false, lister,
                                           kTestReplyTimeoutMs);
    std::string expected = c.err;
    for (const auto& [mark, device] :
         {std::pair{"%h", held.devicePath()}, std::pair{"%s", stranger.devicePath()},
          std::pair{"%u", unit.devicePath()}}) {
      for (size_t at; (at = expected.find(mark)) != std::string::npos;)
        expected.replace(at, 2, device);
    }
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), expected);
  }
  other.close();
  for (SimulatedUnit* sim : {&held, &stranger, &unit})
    sim->stop();
  EXPECT_EQ(held.bytesReceived(), 0u);
  EXPECT_EQ(stranger.loader().uses('S'), 2u);
  EXPECT_EQ(unit.loader().uses('S'), 1u);
}

}  // namespace
}  // namespace quillmar::testing
