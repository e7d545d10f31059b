// The Linux port lister and latency reader against a fake sys/ and dev/ tree, and the
// --list-ports lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/command_line.h"
#include "link/adapter_latency.h"
#include "link/port_list.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

// Writes `text` and a line end into `file`, creating its folders.
void writeAttribute(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

// A tty entry in sys/class/tty whose device link points at `device` (relative to sys/), and,
// when `node`, its dev/ file.
void addTty(const fs::path& root, const std::string& name, const std::string& device,
            bool node = true) {
  const fs::path entry = root / "sys/class/tty" / name;
  fs::create_directories(entry);
  fs::create_directories(root / "sys" / device);
  if (!device.empty())
    fs::create_directory_symlink(fs::path("../../..") / device, entry / "device");
  if (node)
    writeAttribute(root / "dev" / name, "");
}

// Two USB adapters (one without a serial number), a UART, a UART slot without hardware, a
// virtual console, and an adapter whose dev/ node is gone.
void buildTree(const fs::path& root) {
  const std::string adapter = "devices/pci0000:00/usb1/1-2";
  writeAttribute(root / "sys" / adapter / "idVendor", "0403");
  writeAttribute(root / "sys" / adapter / "idProduct", "6001");
  writeAttribute(root / "sys" / adapter / "serial", "A50285BI");
  writeAttribute(root / "sys" / adapter / "manufacturer", "Acme");
  writeAttribute(root / "sys" / adapter / "product", "USB UART");
  addTty(root, "ttyUSB0", adapter + "/1-2:1.0/ttyUSB0");
  writeAttribute(root / "sys" / adapter / "1-2:1.0/ttyUSB0/latency_timer", "16");
  const std::string acm = "devices/pci0000:00/usb1/1-3";
  writeAttribute(root / "sys" / acm / "idVendor", "2341");
  writeAttribute(root / "sys" / acm / "idProduct", "0043");
  writeAttribute(root / "sys" / acm / "product", "Uno");
  addTty(root, "ttyACM0", acm + "/1-3:1.0");
  addTty(root, "ttyS0", "devices/platform/serial8250");
  writeAttribute(root / "sys/class/tty/ttyS0/type", "4");
  addTty(root, "ttyS1", "devices/platform/serial8250");
  writeAttribute(root / "sys/class/tty/ttyS1/type", "0");
  addTty(root, "tty0", "");
  addTty(root, "ttyUSB1", adapter + "/1-2:1.1/ttyUSB1", false);
  fs::create_directories(root / "dev/serial/by-id");
  fs::create_symlink("../../ttyUSB0",
                     root / "dev/serial/by-id/usb-Acme_USB_UART_A50285BI-if00-port0");
}

TEST(PortListTest, FakeTreeListsUsbAdaptersFirstWithTheirFacts) {
  TempFolder root;
  buildTree(root.path());
  const std::vector<link::SerialPortInfo> ports = link::listSerialPortDetails(root.str());
  struct Expected {
    std::string name;
    bool usb;
    std::string vendor, product, serial, line;
  };
  const Expected expected[] = {
      {"/dev/ttyACM0", true, "2341", "0043", "", "/dev/ttyACM0  Uno (USB 2341:0043)"},
      {"/dev/ttyUSB0", true, "0403", "6001", "A50285BI",
       "/dev/ttyUSB0  Acme USB UART (USB 0403:6001, serial A50285BI, by-id "
       "usb-Acme_USB_UART_A50285BI-if00-port0)"},
      {"/dev/ttyS0", false, "", "", "", "/dev/ttyS0  serial port"},
  };
  ASSERT_EQ(ports.size(), std::size(expected));
  for (size_t i = 0; i < ports.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(ports[i].name, expected[i].name);
    EXPECT_EQ(ports[i].usb, expected[i].usb);
    EXPECT_EQ(ports[i].vendorId, expected[i].vendor);
    EXPECT_EQ(ports[i].productId, expected[i].product);
    EXPECT_EQ(ports[i].serialNumber, expected[i].serial);
    EXPECT_EQ(link::describePort(ports[i]), expected[i].line);
  }
  // Only the FTDI adapter shows a latency timer.
  EXPECT_EQ(link::adapterLatencyMs("/dev/ttyUSB0", root.str()), 16);
  EXPECT_EQ(link::adapterLatencyMs("/dev/ttyS0", root.str()), std::nullopt);
}

TEST(PortListTest, TreeWithoutPortsListsNoneAndSaysSo) {
  TempFolder root;
  fs::create_directories(root.path() / "sys/class/tty");
  addTty(root.path(), "tty0", "");
  EXPECT_TRUE(link::listSerialPortDetails(root.str()).empty());
  EXPECT_TRUE(link::listSerialPortDetails((root.path() / "missing").string()).empty());
  EXPECT_EQ(cli::portListText({}), "no serial ports were found on this computer.\n");
}

}  // namespace
}  // namespace quillmar::testing
