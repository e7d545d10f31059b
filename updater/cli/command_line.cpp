#include "cli/command_line.h"

#include <algorithm>
#include <ostream>

#include "boot/image_files.h"
#include "cli/console_ui.h"
#include "platform/program_folder.h"

namespace quillmar::cli {
namespace {

struct CommandName {
  const char* name;
  boot::Operation operation;
};

constexpr CommandName kCommands[] = {
    {"update", boot::Operation::Update},
    {"read", boot::Operation::Read},
    {"version", boot::Operation::Version},
    {"verify", boot::Operation::Verify},
};

constexpr const char* kAutoPort = "auto";

constexpr const char* kUsage =
    "Usage: quillmar-update [--port PORT] [--folder DIR] [--block] [--image FILE]\n"
    "                       [--output FILE] update|read|version|verify\n"
    "       quillmar-update --list-ports | --help | --version\n";

// The options that name a file, and the commands each one serves.
struct FileOption {
  const char* name;
  std::string CommandLine::*value;
  boot::Operation first;
  boot::Operation second;
  const char* commands;
};

constexpr FileOption kFileOptions[] = {
    {"--image", &CommandLine::image, boot::Operation::Update, boot::Operation::Verify,
     "update and verify"},
    {"--output", &CommandLine::output, boot::Operation::Read, boot::Operation::Read, "read"},
};

// An error for a file option given with a command that has no use for it, or "".
std::string misplacedFileOption(const CommandLine& line) {
  for (const FileOption& option : kFileOptions) {
    if (!(line.*option.value).empty() && line.operation != option.first &&
        line.operation != option.second)
      return std::string("option ") + option.name + " applies to " + option.commands + " only";
  }
  return "";
}

// Takes the value of an option given as "--name VALUE" or "--name=VALUE"; advances `i` past
// it. False with `error` set when the value is missing.
bool optionValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
                 std::string& value, std::string& error) {
  const std::string& arg = args[i];
  if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
    value = arg.substr(name.size() + 1);
  } else if (i + 1 < args.size()) {
    value = args[++i];
  } else {
    error = "option " + name + " needs a value";
    return false;
  }
  if (value.empty()) {
    error = "option " + name + " needs a value";
    return false;
  }
  return true;
}

bool isOption(const std::string& arg, const std::string& name) {
  return arg == name || arg.rfind(name + "=", 0) == 0;
}

// The --port lines of the help: where every COM name opens its port (Windows), any COMn;
// elsewhere the four the link's table names, with their devices.
std::string portOptionHelp() {
  if (!boot::comPortBeyondTable(5).empty()) {
    return "  --port PORT   a serial port by its name, COM1 to COM256 in any case (see\n"
           "                --list-ports), or auto: the first listed port whose boot loader\n"
           "                answers; ports that another program holds are skipped;\n"
           "                default COM1\n";
  }
  const boot::PortDevices devices = boot::defaultPortDevices();
  return "  --port PORT   COM1, COM2, COM3 or COM4 (" + devices[0] + ", " + devices[1] + ", " +
         devices[2] + ", " + devices[3] +
         "),\n"
         "                or a serial device's path, or auto: the first listed port\n"
         "                (see --list-ports) whose boot loader answers; ports that\n"
         "                another program holds are skipped; default COM1\n";
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
  CommandLine line;
  std::optional<boot::Operation> operation;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto* file = std::find_if(std::begin(kFileOptions), std::end(kFileOptions),
                                    [&](const FileOption& o) { return isOption(arg, o.name); });
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--list-ports") {
      line.listPorts = true;
    } else if (file != std::end(kFileOptions)) {
      if (!optionValue(args, i, file->name, line.*file->value, error))
        return std::nullopt;
    } else if (isOption(arg, "--port")) {
      if (!optionValue(args, i, "--port", line.port, error))
        return std::nullopt;
    } else if (arg == "--block") {
      line.block = true;
    } else if (isOption(arg, "--folder")) {
      if (!optionValue(args, i, "--folder", line.folder, error))
        return std::nullopt;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (operation) {
      error = "only one command may be given, found " + arg;
      return std::nullopt;
    } else {
      const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                       [&](const CommandName& c) { return arg == c.name; });
      if (found == std::end(kCommands)) {
        error = "unknown command " + arg;
        return std::nullopt;
      }
      operation = found->operation;
    }
  }
  if (line.help || line.version || line.listPorts)
    return line;
  if (!operation) {
    error = "no command given";
    return std::nullopt;
  }
  line.operation = *operation;
  error = misplacedFileOption(line);
  if (!error.empty())
    return std::nullopt;
  return line;
}

// COM1..COM4 pick their slot in the link's table. Another COMn is a port of its own where the
// platform opens any COM name (Windows); elsewhere its index is one the link refuses.
PortChoice choosePort(const std::string& port) {
  PortChoice choice{boot::defaultPortDevices(), 0};
  const std::optional<int> number = boot::comPortNumber(port);
  if (!number) {
    choice.devices[0] = port;
    return choice;
  }
  const std::string beyond = boot::comPortBeyondTable(*number);
  if ((*number >= 1 && *number <= boot::kPortCount) || beyond.empty())
    choice.portIndex = *number - 1;
  else
    choice.devices[0] = beyond;
  return choice;
}

std::string helpText() {
  return std::string(kUsage) +
         "\n"
         "Programs, reads back or identifies the QUILLmar unit's application firmware over a\n"
         "serial port through the unit's boot loader (38400 bit/s, 8 data bits, no parity,\n"
         "1 stop bit, null-modem cable).\n"
         "\n"
         "Commands:\n"
         "  update   program DIR/quillmar.hex (Intel HEX) into the unit, then read it back and\n"
         "           verify it; when that exact name is missing, a name that differs only in\n"
         "           case (QUILLMAR.HEX) is taken\n"
         "  read     save the unit's whole application region (130560 bytes) into\n"
         "           DIR/quillread.hex; the unit is not changed\n"
         "  version  show the unit's firmware version\n"
         "  verify   read the unit back and compare it with DIR/quillmar.hex; nothing is\n"
         "           erased or written\n"
         "\n"
         "Options:\n" +
         portOptionHelp() +
         "  --folder DIR  folder of quillmar.hex and quillread.hex; default the folder of\n"
         "                this program\n"
         "  --image FILE  the image to program (update) or compare with (verify) instead of\n"
         "                DIR/quillmar.hex: raw binary when its name ends in .bin, Intel\n"
         "                HEX when it ends in .hex, else detected from its contents\n"
         "  --output FILE the file read saves into instead of DIR/quillread.hex: raw binary\n"
         "                when its name ends in .bin, else Intel HEX\n"
         "  --block       use the boot loader's block transfers (one command per 256-byte\n"
         "                page) when it offers them; pages of 0xFF are left out after the\n"
         "                erase. A boot loader without them gets the usual dialogue.\n"
         "  --list-ports  list the serial ports, USB adapters first: the name to give to\n"
         "                --port, its description, and for a USB adapter its vendor and\n"
         "                product IDs and serial number\n"
         "  --help        show this text and exit\n"
         "  --version     show this program's version and exit\n"
         "\n"
         "Output:\n"
         "  Standard output gets the status texts, one per line, in order (for example\n"
         "  \"Programming QUILLmar Application...\", \"Verifying Data...\", \"QUILLmar "
         "Updated!\").\n"
         "  Standard error gets each failure message, one per line, and the image file's\n"
         "  diagnostics; when it is a terminal, also a progress bar.\n"
         "\n"
         "Image files:\n"
         "  Intel HEX may end its lines in LF or CR LF, start with a UTF-8 byte-order mark,\n"
         "  or be UTF-16 with its mark (as PowerShell saves text). A file named *.hex that\n"
         "  is not Intel HEX is refused before the port opens, naming its first line that\n"
         "  is not a record. Intel HEX is saved with this system's line ends.\n"
         "\n"
         "Exit status:\n"
         "  0  success (version: a version was found; verify: the unit equals the image)\n"
         "  1  the operation failed (version: none found)\n"
         "  2  usage error\n"
         "\n"
         "Preparing the unit: connect a null-modem cable to the unit's serial port, turn on\n"
         "DIP switch #8, make sure DIP switch #1 (reset) is off, apply power. Switch DIP\n"
         "switch #8 off when the update is complete. An update takes several minutes; a unit\n"
         "that does not answer costs up to 20 seconds per awaited reply.\n";
}

std::string versionText() {
  return std::string("quillmar-update ") + QUILLMAR_VERSION + "\n";
}

std::string portListText(const std::vector<boot::SerialPortInfo>& ports) {
  if (ports.empty())
    return "no serial ports were found on this computer.\n";
  std::string text;
  for (const boot::SerialPortInfo& port : ports)
    text += boot::describePort(port) + "\n";
  return text;
}

namespace {

// "auto" as the port: the first listed port whose boot loader answers, or nothing after the
// list of what each port answered.
std::optional<std::string> findPort(const std::vector<boot::SerialPortInfo>& ports,
                                    uint16_t probeTimeoutMs, std::ostream& err) {
  std::vector<std::string> devices;
  for (const boot::SerialPortInfo& port : ports)
    devices.push_back(port.name);
  const boot::PortSearch search = boot::findBootLoader(devices, probeTimeoutMs);
  err << boot::describeSearch(search);
  return search.found;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal, const PortLister& ports, uint16_t probeTimeoutMs) {
  std::string error;
  const std::optional<CommandLine> line = parseCommandLine(args, error);
  if (!line) {
    err << "quillmar-update: " << error << '\n'
        << kUsage << "Try 'quillmar-update --help' for more information.\n";
    return kExitUsage;
  }
  if (line->help) {
    out << helpText();
    return kExitSuccess;
  }
  if (line->version) {
    out << versionText();
    return kExitSuccess;
  }
  if (line->listPorts) {
    out << portListText(ports());
    return kExitSuccess;
  }
  PortChoice port = choosePort(line->port);
  if (line->port == kAutoPort) {
    const std::optional<std::string> found = findPort(ports(), probeTimeoutMs, err);
    if (!found)
      return kExitFailure;
    port.devices[0] = *found;  // the listed name as it is, COM5 and above too
  }
  const std::string folder = line->folder.empty() ? platform::programFolder() : line->folder;
  const boot::ImageFile image =
      line->image.empty() ? boot::imageFileIn(folder) : boot::chosenImageFile(line->image);
  const boot::ImageFile readback =
      line->output.empty() ? boot::readbackFileIn(folder) : boot::chosenReadbackFile(line->output);
  ConsoleUi ui(out, err, errIsTerminal);
  ui.describeOperation(line->operation, line->block);
  boot::UpdaterPresenter presenter(ui, err, port.devices);
  presenter.programmer().setBlockMode(line->block);
  return presenter.run(line->operation, port.portIndex, image, readback) ? kExitSuccess
                                                                         : kExitFailure;
}

}  // namespace quillmar::cli
