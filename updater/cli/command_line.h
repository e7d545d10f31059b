// The command line of quillmar-update: parsing, help text, and one run of an operation or of a
// listing of the user's data folder (the kept copies, the history).
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "boot/port_search.h"
#include "boot/serial_ports.h"
#include "boot/updater_presenter.h"

namespace quillmar::cli {

// The commands: the presenter's operations, and the two listings that open no port.
enum class Command { Update, Read, Version, Verify, Restore, Backups, History };

// What the user asked for. `port` is a COM name, "auto", "all" or a device path; an empty
// `folder` means the program's own folder.
// `image` and `output`, when given, replace the folder's quillmar.hex and quillread.hex;
// `keptCopy`, restore's file, the newest kept copy.
struct CommandLine {
  bool help = false;
  bool version = false;    // --version: print the program's version
  bool listPorts = false;  // --list-ports: print the serial ports
  std::string port = "COM1";
  // Every --port given, in order. More than one, or "all", runs several units at once; `port`
  // is then the last of them.
  std::vector<std::string> ports;
  std::string folder;
  std::string image;
  std::string output;
  std::string keptCopy;
  bool block = false;  // use the boot loader's block transfers when it offers them
  bool allowOlder = false;
  bool allowReinstall = false;
  bool noBackup = false;
  bool dryRun = false;
  bool json = false;    // standard output gets the record as JSON, nothing else
  bool legacy = false;  // the update without the steps before the erase
  Command command = Command::Update;
};

// Parses the arguments after the program name. On a usage error returns nothing and sets
// `error` to a one-line description.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

// The serial port a --port value names: COM1..COM4 (any case) pick port index n - 1 of the
// platform's devices; another COMn is that port on Windows, used as port index 0, and elsewhere
// an index the link refuses when it opens; anything else is a device path, used as index 0.
struct PortChoice {
  boot::PortDevices devices;
  int portIndex = 0;
};
PortChoice choosePort(const std::string& port);

// True when the command line runs several units at once: more than one --port, or --port all.
bool runsSeveralUnits(const CommandLine& line);

// The --help text.
std::string helpText();

// The --version line: the program's name and version.
std::string versionText();

// The --list-ports text for `ports`: one line each, or a line saying there is none.
std::string portListText(const std::vector<boot::SerialPortInfo>& ports);

// The serial ports --list-ports and --port auto work with.
using PortLister = std::function<std::vector<boot::SerialPortInfo>()>;

// Runs the whole program on `args`: the operation's status texts on `out` (with --json on
// `err`, and the record on `out`), messages, diagnostics and the progress bar (when
// `errIsTerminal`) on `err`. Returns the exit status (boot/operation_record.h).
// `ports` lists this computer's ports; `probeTimeoutMs` bounds each byte of --port auto's and
// --port all's question to a port, `replyTimeoutMs` each reply of the unit's boot loader.
int runCommandLine(
    const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal,
    const PortLister& ports = [] { return boot::listSerialPortDetails(); },
    uint16_t probeTimeoutMs = boot::kProbeTimeoutMs,
    uint16_t replyTimeoutMs = boot::kReplyTimeoutMs);

}  // namespace quillmar::cli
