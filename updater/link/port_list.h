// The serial ports this computer has: for --list-ports, for finding the unit's port, and for
// telling the user which ones exist when the chosen one does not (port_list_posix.cpp,
// port_list_win32.cpp; the wording in port_list.cpp).
#pragma once

#include <string>
#include <vector>

namespace quillmar::link {

// One serial port as the system describes it.
struct SerialPortInfo {
  std::string name;         // what --port takes: "/dev/ttyUSB0", "COM3"
  std::string description;  // the adapter's product, or what kind of port it is
  std::string stableName;   // Linux: its /dev/serial/by-id name; "" when it has none
  bool usb = false;         // a USB serial adapter
  std::string vendorId;     // USB only: four hex digits, "" when the system does not say
  std::string productId;
  std::string serialNumber;
};

// The serial ports, USB adapters first, each group in name order (on Windows in the order of the
// port numbers). On Linux `root` is the folder that holds sys/ and dev/ ("/" for this computer;
// tests pass a fake tree); on Windows it is not used.
std::vector<SerialPortInfo> listSerialPortDetails(const std::string& root = "/");

// The names a user can give as the port: on Linux in name order, each device path with its
// /dev/serial/by-id name in brackets when it has one; on Windows the COM names in the order of
// listSerialPortDetails. Empty when none is found.
std::vector<std::string> listSerialPorts();

// One line of --list-ports for `port`, without a line end:
// "/dev/ttyUSB0  USB UART (USB 0403:6001, serial A5, by-id usb-Acme_...)".
std::string describePort(const SerialPortInfo& port);

}  // namespace quillmar::link
