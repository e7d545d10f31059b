// Which serial port each of the dialog's Com buttons stands for. The specified buttons name
// COM1 and COM2, which a laptop with only a USB adapter does not have; a button whose own port
// is missing stands for a port the computer does have, so the dialog's defaults reach it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "link/port_list.h"

namespace quillmar::boot {

// A port as a choice in the dialog: the device the link opens, and what the user sees for it
// (the port's --list-ports line, or the bare device when the system does not list it).
struct ComPort {
  std::string device;
  std::string label;
};

// The ports behind Com1 and Com2. A button with a `given` device (--com1, --com2) takes it; a
// button whose `own` port (link::comButtonPorts()) is listed keeps it; each other button
// stands for the first of `ports` (adapters first) that no other button shows; with none
// left, its own port, or without one the platform's default (link::defaultPortDevices()).
std::array<ComPort, 2> assignComPorts(const std::vector<link::SerialPortInfo>& ports,
                                      const std::array<std::string, 2>& given,
                                      const std::array<std::string, 2>& own);

// Every listed port as a choice, in the list's order.
std::vector<ComPort> describePorts(const std::vector<link::SerialPortInfo>& ports);

}  // namespace quillmar::boot
