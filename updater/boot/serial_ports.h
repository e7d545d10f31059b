// The serial ports as the front ends see them: the computer's port list, the platform's names
// for COM1..COM4, the Com buttons' own ports and a USB adapter's latency timer. The dialogs and
// the command line reach the serial link only through boot/, so that a change of the link's
// backends stops here; these are the link's own names, offered unchanged.
#pragma once

#include "link/adapter_latency.h"
#include "link/port_list.h"
#include "link/serial_link.h"

namespace quillmar::boot {

// The port list: one port as the system describes it, all of them, and one --list-ports line.
using link::describePort;
using link::listSerialPortDetails;
using link::SerialPortInfo;

// The port names: the devices behind COM1..COM4, "COMn" read and looked up beyond them, and the
// ports the dialog's Com buttons name on this platform.
using link::comButtonPorts;
using link::comPortBeyondTable;
using link::comPortNumber;
using link::defaultPortDevices;
using link::kPortCount;
using link::PortDevices;

// How long the unit may take to reply, the default of every operation.
using link::kReplyTimeoutMs;

// A USB adapter's latency timer and where the user lowers it.
using link::adapterLatencyMs;
using link::adapterLatencySetting;

}  // namespace quillmar::boot
