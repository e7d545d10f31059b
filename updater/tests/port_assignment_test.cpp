// Which port each Com button stands for, on a computer with the ports listed.
#include <gtest/gtest.h>

#include "boot/port_assignment.h"
#include "link/serial_link.h"

namespace quillmar::boot {
namespace {

link::SerialPortInfo port(const std::string& name, bool usb) {
  return {name, usb ? "USB Serial Port" : "Communications Port", "", usb, "", "", ""};
}

TEST(PortAssignmentTest, ButtonsKeepGivenAndOwnPortsAndTakeListedOnesOtherwise) {
  const auto com1 = port("COM1", false), com2 = port("COM2", false), com5 = port("COM5", true),
             usb0 = port("/dev/ttyUSB0", true), ttyS0 = port("/dev/ttyS0", false);
  const std::array<std::string, 2> windows = {"COM1", "COM2"}, posix = {"", ""};
  const link::PortDevices fallback = link::defaultPortDevices();
  struct Case {
    std::vector<link::SerialPortInfo> ports;
    std::array<std::string, 2> given, own, devices;
  };
  const Case cases[] = {
      {{com5}, {}, windows, {"COM5", "COM2"}},
      {{com1, com2}, {}, windows, {"COM1", "COM2"}},
      {{com5, com2}, {}, windows, {"COM5", "COM2"}},
      {{com5, com1}, {}, windows, {"COM1", "COM5"}},
      {{com5, com1, com2}, {"", "COM7"}, windows, {"COM1", "COM7"}},
      {{usb0, ttyS0}, {}, posix, {"/dev/ttyUSB0", "/dev/ttyS0"}},
      {{usb0, ttyS0}, {"/dev/ttyS0", ""}, posix, {"/dev/ttyS0", "/dev/ttyUSB0"}},
      {{usb0}, {}, posix, {"/dev/ttyUSB0", fallback[1]}},
      {{}, {}, posix, {fallback[0], fallback[1]}},
  };
  for (const Case& c : cases) {
    const std::array<ComPort, 2> ports = assignComPorts(c.ports, c.given, c.own);
    EXPECT_EQ(ports[0].device, c.devices[0]) << c.devices[0] << " " << c.devices[1];
    EXPECT_EQ(ports[1].device, c.devices[1]) << c.devices[0] << " " << c.devices[1];
  }
  const std::array<ComPort, 2> labelled = assignComPorts({com5}, {}, windows);
  EXPECT_EQ(labelled[0].label, "COM5  USB Serial Port (USB)");
  EXPECT_EQ(labelled[1].label, "COM2");
}

}  // namespace
}  // namespace quillmar::boot
