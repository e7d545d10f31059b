// What the user chooses in the main dialog beyond the Com buttons themselves, shared by the Qt
// and the native Windows dialog and free of any toolkit: the port each Com button stands for,
// with every port of the computer to choose from, fast (block) transfers, with the question
// to switch to them before an operation that a slow USB adapter would drag out, and whether
// an update keeps a copy of the unit first.
//
// ui/common/ is the dialogs' toolkit-free part, built once (updater_ui_common) and linked by the
// Qt dialog (ui/qt/) and the native Windows one (ui/win32/): the dialog templates, the program's
// command line, these choices, the operation's time and the buttons' operations. It uses boot/
// and the standard library only, so that both dialogs behave alike from one source.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "boot/boot_programmer.h"
#include "boot/port_assignment.h"
#include "boot/serial_ports.h"
#include "boot/update_safety.h"
#include "boot/updater_presenter.h"
#include "ui/common/dialog_options.h"

namespace quillmar::ui {

// This computer's serial ports, adapters first (read again each time the user looks).
using PortLister = std::function<std::vector<boot::SerialPortInfo>()>;
// The latency timer of the USB adapter behind a device, where the system tells it.
using LatencyReader = std::function<std::optional<int>(const std::string& device)>;

// What a program run gives the main dialog.
struct DialogSettings {
  std::array<boot::ComPort, 2> ports;  // behind Com1 and Com2
  std::string programFolder;           // holds quillmar.hex, quillread.hex
  uint16_t replyTimeoutMs = boot::kReplyTimeoutMs;
  bool block = false;  // fast transfers chosen at the start
  // The steps before the erase: legacy, the copy ticked at the start, the user's data folder.
  boot::UpdateSafety safety;
  PortLister listPorts;
  LatencyReader latencyOf;
  // The ports given on the command line (--com1, --com2), which the "Several units" window
  // offers, ticked, where the system does not list them (a simulated unit's pseudo-terminal).
  std::vector<std::string> givenPorts;
};

// The settings from the command line: the Com buttons' ports assigned among `ports` (this
// computer's), the folder given or the program's own, the safety steps asked for with the
// user's data folder; the system's port list and latencies.
DialogSettings dialogSettings(const DialogOptions& options,
                              const std::vector<boot::SerialPortInfo>& ports);

// The ports one Com button can stand for, and which of them it stands for now.
struct PortChoices {
  std::vector<boot::ComPort> ports;
  int current = 0;
};

class DialogChoices {
 public:
  explicit DialogChoices(const DialogSettings& settings);

  // The port behind Com button `button` (0: Com1, 1: Com2).
  const boot::ComPort& port(int button) const { return ports_[button]; }
  // Reads the computer's ports again: each listed port, and the button's own device at the
  // end when it is not listed (given on the command line, or absent).
  PortChoices choices(int button);
  // Makes `button` stand for `port`.
  void choose(int button, const boot::ComPort& port) { ports_[button] = port; }

  bool fast() const { return fast_; }
  void setFast(bool fast) { fast_ = fast; }

  // Whether an update keeps a copy of the unit before the erase (never with legacy).
  bool keepCopy() const { return safety_.keepCopy && !safety_.legacy; }
  void setKeepCopy(bool keep) { safety_.keepCopy = keep; }
  // The safety steps the next operation takes, and where the kept copies lie.
  const boot::UpdateSafety& safety() const { return safety_; }

  // Readies `programmer` to run `operation` on Com button `button`: the buttons' devices,
  // the safety steps and the transfer mode. Byte by byte through an adapter that makes that slow,
  // it first asks `ask` (true: yes) whether to switch to fast transfers; a yes holds for later
  // operations, a no is not asked again for that device.
  void prepare(boot::BootProgrammer& programmer, boot::Operation operation, int button,
               const std::function<bool(const std::string& question)>& ask);

 private:
  std::array<boot::ComPort, 2> ports_;
  bool fast_;
  boot::UpdateSafety safety_;
  PortLister listPorts_;
  LatencyReader latencyOf_;
  std::set<std::string> declined_;  // devices whose question was answered no
};

}  // namespace quillmar::ui
