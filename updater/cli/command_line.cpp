#include "cli/command_line.h"

#include <algorithm>
#include <ctime>
#include <ostream>

#include "boot/image_files.h"
#include "boot/kept_copies.h"
#include "boot/operation_record.h"
#include "cli/batch_command.h"
#include "cli/console_ui.h"
#include "platform/data_folder.h"
#include "platform/file_name.h"
#include "platform/program_folder.h"

namespace quillmar::cli {
namespace {

struct CommandName {
  const char* name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"update", Command::Update},   {"read", Command::Read},       {"version", Command::Version},
    {"verify", Command::Verify},   {"restore", Command::Restore}, {"backups", Command::Backups},
    {"history", Command::History},
};

constexpr const char* kAutoPort = "auto";
constexpr const char* kAllPorts = "all";

constexpr const char* kUsage =
    "Usage: quillmar-update [--port PORT] [--folder DIR] [--block] [--image FILE]\n"
    "                       [--output FILE] [--allow-older] [--allow-reinstall]\n"
    "                       [--no-backup] [--dry-run] [--json] [--legacy]\n"
    "                       update|read|version|verify\n"
    "       quillmar-update [--port PORT] [--block] [--no-backup] [--dry-run] [--json]\n"
    "                       restore [FILE]\n"
    "       quillmar-update [--json] backups|history\n"
    "       quillmar-update --list-ports | --help | --version\n";

// The commands an option serves, as a set of bits.
constexpr unsigned bit(Command command) {
  return 1u << static_cast<unsigned>(command);
}
constexpr unsigned kUpdateAndRestore = bit(Command::Update) | bit(Command::Restore);

// The options that serve only some commands: those that name a file, and the flags.
struct FileOption {
  const char* name;
  std::string CommandLine::*value;
  unsigned commands;
  const char* served;
};

constexpr FileOption kFileOptions[] = {
    {"--image", &CommandLine::image, bit(Command::Update) | bit(Command::Verify),
     "update and verify"},
    {"--output", &CommandLine::output, bit(Command::Read), "read"},
};

// `steps`: the option changes the steps before the erase, which --legacy leaves out.
struct FlagOption {
  const char* name;
  bool CommandLine::*value;
  unsigned commands;
  const char* served;
  bool steps;
};

constexpr FlagOption kFlagOptions[] = {
    {"--allow-older", &CommandLine::allowOlder, bit(Command::Update), "update", true},
    {"--allow-reinstall", &CommandLine::allowReinstall, bit(Command::Update), "update", true},
    {"--no-backup", &CommandLine::noBackup, kUpdateAndRestore, "update and restore", true},
    {"--dry-run", &CommandLine::dryRun, kUpdateAndRestore, "update and restore", true},
    {"--json", &CommandLine::json, ~bit(Command::Backups),
     "update, restore, read, verify, version and history", false},
    {"--legacy", &CommandLine::legacy, bit(Command::Update) | bit(Command::Read), "update and read",
     false},
};

// An error for an option given with a command it does not serve, or for one that --legacy
// leaves no meaning to; "" when the options fit the command.
std::string misplacedOption(const CommandLine& line) {
  const unsigned command = bit(line.command);
  for (const FileOption& option : kFileOptions) {
    if (!(line.*option.value).empty() && (option.commands & command) == 0)
      return std::string("option ") + option.name + " applies to " + option.served + " only";
  }
  for (const FlagOption& option : kFlagOptions) {
    if (line.*option.value && (option.commands & command) == 0)
      return std::string("option ") + option.name + " applies to " + option.served + " only";
  }
  for (const FlagOption& option : kFlagOptions) {
    if (line.legacy && option.steps && line.*option.value)
      return std::string("option ") + option.name +
             " means nothing with --legacy, which leaves out the steps before the erase";
  }
  return "";
}

// An error for ports that can't be taken together, or several for a command that opens none;
// "" when they fit.
std::string misplacedPorts(const CommandLine& line) {
  if (line.ports.size() < 2 && line.port != kAllPorts)
    return "";
  if (line.command == Command::Backups || line.command == Command::History)
    return "several ports and --port all apply to update, restore, read, verify and version only";
  for (auto port = line.ports.begin(); port != line.ports.end(); ++port) {
    if (line.ports.size() > 1 && (*port == kAutoPort || *port == kAllPorts))
      return "--port " + *port + " can't be given with other ports";
    if (std::find(line.ports.begin(), port, *port) != port)
      return "port " + *port + " is given twice";
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
           "                default COM1. Given more than once, or as all (every listed\n"
           "                port whose boot loader answers), it serves several units at\n"
           "                once (see Several units at once)\n";
  }
  const boot::PortDevices devices = boot::defaultPortDevices();
  return "  --port PORT   COM1, COM2, COM3 or COM4 (" + devices[0] + ", " + devices[1] + ", " +
         devices[2] + ", " + devices[3] +
         "),\n"
         "                or a serial device's path, or auto: the first listed port\n"
         "                (see --list-ports) whose boot loader answers; ports that\n"
         "                another program holds are skipped; default COM1. Given more\n"
         "                than once, or as all (every listed port whose boot loader\n"
         "                answers), it serves several units at once (see Several units\n"
         "                at once)\n";
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
  CommandLine line;
  std::optional<Command> command;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto* file = std::find_if(std::begin(kFileOptions), std::end(kFileOptions),
                                    [&](const FileOption& o) { return isOption(arg, o.name); });
    const auto* flag = std::find_if(std::begin(kFlagOptions), std::end(kFlagOptions),
                                    [&](const FlagOption& o) { return arg == o.name; });
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--list-ports") {
      line.listPorts = true;
    } else if (file != std::end(kFileOptions)) {
      if (!optionValue(args, i, file->name, line.*file->value, error))
        return std::nullopt;
    } else if (flag != std::end(kFlagOptions)) {
      line.*flag->value = true;
    } else if (isOption(arg, "--port")) {
      if (!optionValue(args, i, "--port", line.port, error))
        return std::nullopt;
      line.ports.push_back(line.port);
    } else if (arg == "--block") {
      line.block = true;
    } else if (isOption(arg, "--folder")) {
      if (!optionValue(args, i, "--folder", line.folder, error))
        return std::nullopt;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (command == Command::Restore && line.keptCopy.empty()) {
      line.keptCopy = arg;
    } else if (command == Command::Restore) {
      error = "restore takes one file, found " + arg;
      return std::nullopt;
    } else if (command) {
      error = "only one command may be given, found " + arg;
      return std::nullopt;
    } else {
      const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                       [&](const CommandName& c) { return arg == c.name; });
      if (found == std::end(kCommands)) {
        error = "unknown command " + arg;
        return std::nullopt;
      }
      command = found->command;
    }
  }
  if (line.help || line.version || line.listPorts)
    return line;
  if (!command) {
    error = "no command given";
    return std::nullopt;
  }
  line.command = *command;
  error = misplacedOption(line);
  if (error.empty())
    error = misplacedPorts(line);
  if (!error.empty())
    return std::nullopt;
  return line;
}

bool runsSeveralUnits(const CommandLine& line) {
  return line.ports.size() > 1 || line.port == kAllPorts;
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
         "           case (QUILLMAR.HEX) is taken. Before the erase it keeps a copy of the\n"
         "           unit and checks the versions (see Versions and kept copies)\n"
         "  read     save the unit's whole application region (130560 bytes) into\n"
         "           DIR/quillread.hex; the unit is not changed\n"
         "  version  show the unit's firmware version\n"
         "  verify   read the unit back and compare it with DIR/quillmar.hex; nothing is\n"
         "           erased or written\n"
         "  restore  program a kept copy back into the unit: FILE, or else the newest\n"
         "           copy in the backups folder; any version is taken back\n"
         "  backups  list the kept copies, newest first; no port is opened\n"
         "  history  list the updates, restores and reads done, oldest first; no port is\n"
         "           opened\n"
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
         "  --allow-older (update) program an image older than the unit's firmware\n"
         "  --allow-reinstall\n"
         "                (update) program an image of the unit's version, even one the\n"
         "                unit holds byte for byte\n"
         "  --no-backup   (update, restore) keep no copy: only the first 8192 bytes are\n"
         "                read before the erase, for the versions\n"
         "  --dry-run     (update, restore) read the unit and say whether the update\n"
         "                would go ahead; nothing is erased, written or recorded\n"
         "  --json        standard output gets only the operation's record as one JSON\n"
         "                object (history: all records as one array); the status texts\n"
         "                go to standard error\n"
         "  --legacy      (update, read) as before: the update without versions and copy;\n"
         "                neither leaves a record in the history\n"
         "  --list-ports  list the serial ports, USB adapters first: the name to give to\n"
         "                --port, its description, and for a USB adapter its vendor and\n"
         "                product IDs and serial number\n"
         "  --help        show this text and exit\n"
         "  --version     show this program's version and exit\n"
         "\n"
         "Versions and kept copies:\n"
         "  The version is the text after \"CVersion \" in the first 8192 bytes. Before the\n"
         "  erase, update reads the unit's version and the image's: an image older than\n"
         "  the unit's firmware, or of its version, is refused with nothing changed unless\n"
         "  --allow-older or --allow-reinstall is given; an image the unit holds already is\n"
         "  not programmed again. It also reads the whole region and keeps it as an Intel\n"
         "  HEX file in DATA/backups, named by time, port and version; restore programs it\n"
         "  back. Every update, restore and read adds its record to DATA/history.jsonl.\n"
         "  DATA is $XDG_DATA_HOME/quillmar, or ~/.local/share/quillmar when that is unset\n"
         "  or not an absolute path (Linux); %LOCALAPPDATA%\\QUILLmar (Windows).\n"
         "\n"
         "Several units at once:\n"
         "  With more than one --port, or --port all, each unit runs the whole command on\n"
         "  its own port at the same time as the others. The image is loaded and checked\n"
         "  once, before any port opens. Each status line on standard output and each\n"
         "  failure message on standard error starts with its port's name (for example\n"
         "  \"COM5: Verifying Data...\"); on a terminal, standard error shows one progress\n"
         "  line per unit. At the end comes a table (port, USB serial number, versions\n"
         "  before -> after, time, result) and a line such as \"7 of 8 units updated\".\n"
         "  read saves one file per port, the port's name added before the extension\n"
         "  (quillread-COM5.hex), or inside DIR when --output DIR/ ends in a separator.\n"
         "  restore without FILE programs each unit's own newest kept copy. With --json,\n"
         "  standard output gets one JSON array of the units' records. The exit status\n"
         "  is 0 when every unit succeeded, else 1.\n"
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
         "  0  success (version: a version was found; verify: the unit equals the image;\n"
         "     update, restore: also when the unit held the image already)\n"
         "  1  the operation failed (version: none found)\n"
         "  2  usage error\n"
         "  3  refused for its version before the erase, nothing changed (a dry run: the\n"
         "     update would be refused)\n"
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

// The presenter's operation for a command that opens the port.
boot::Operation operationOf(Command command) {
  switch (command) {
    case Command::Read:
      return boot::Operation::Read;
    case Command::Version:
      return boot::Operation::Version;
    case Command::Verify:
      return boot::Operation::Verify;
    case Command::Restore:
      return boot::Operation::Restore;
    default:
      return boot::Operation::Update;
  }
}

// The steps before the erase as the options choose them.
boot::UpdateSafety safetyOf(const CommandLine& line, const std::string& dataFolder) {
  boot::UpdateSafety safety;
  safety.legacy = line.legacy;
  safety.keepCopy = !line.noBackup;
  safety.allowOlder = line.allowOlder;
  safety.allowReinstall = line.allowReinstall;
  safety.dryRun = line.dryRun;
  safety.dataFolder = dataFolder;
  return safety;
}

// The history command: the table (or with --json the array) on `out`, and on `err` how many
// lines were no records.
int showHistory(const CommandLine& line, const std::string& dataFolder, std::ostream& out,
                std::ostream& err) {
  int skipped = 0;
  const std::vector<boot::OperationRecord> records = boot::readHistory(dataFolder, skipped);
  out << (line.json ? boot::recordsJson(records) + "\n" : boot::historyTable(records));
  if (skipped > 0)
    err << skipped << (skipped == 1 ? " line" : " lines") << " of "
        << platform::nameFromPath(platform::pathFromName(dataFolder) / boot::kHistoryFileName)
        << " held no record and " << (skipped == 1 ? "was" : "were") << " skipped\n";
  return boot::kExitSuccess;
}

// The newest kept copy, for a restore given no file; nothing, with the reason on `err`, when
// none is kept.
std::optional<std::string> newestKeptCopy(const std::string& dataFolder, std::ostream& err) {
  const std::string folder = boot::backupsFolder(dataFolder);
  const std::vector<boot::KeptCopy> copies = boot::listKeptCopies(folder);
  if (!copies.empty())
    return copies.front().path;
  err << "no kept copy in " << folder << ": nothing to restore\n" << std::flush;
  return std::nullopt;
}

// What several units at once are to do, from the command line.
BatchRequest batchRequest(const CommandLine& line, const std::string& folder,
                          const std::string& dataFolder) {
  BatchRequest request;
  request.operation = operationOf(line.command);
  request.ports = line.ports;
  request.image =
      line.image.empty() ? boot::imageFileIn(folder) : boot::chosenImageFile(line.image);
  if (line.command == Command::Restore) {
    request.ownCopies = line.keptCopy.empty();
    request.image = boot::chosenImageFile(line.keptCopy);
  }
  request.output = line.output;
  request.folder = folder;
  request.safety = safetyOf(line, dataFolder);
  request.block = line.block;
  request.json = line.json;
  return request;
}

// The record of a restore that found nothing to restore, for --json.
boot::OperationRecord nothingToRestore() {
  boot::OperationRecord record;
  record.time = boot::isoLocalTime(std::time(nullptr));
  record.operation = "restore";
  record.exitStatus = boot::kExitFailure;
  record.failure = "no kept copy";
  return record;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal, const PortLister& ports, uint16_t probeTimeoutMs,
                   uint16_t replyTimeoutMs) {
  std::string error;
  const std::optional<CommandLine> line = parseCommandLine(args, error);
  if (!line) {
    err << "quillmar-update: " << error << '\n'
        << kUsage << "Try 'quillmar-update --help' for more information.\n";
    return boot::kExitUsage;
  }
  if (line->help) {
    out << helpText();
    return boot::kExitSuccess;
  }
  if (line->version) {
    out << versionText();
    return boot::kExitSuccess;
  }
  if (line->listPorts) {
    out << portListText(ports());
    return boot::kExitSuccess;
  }
  const std::string dataFolder = platform::userDataFolder();
  if (line->command == Command::Backups) {
    const std::string folder = boot::backupsFolder(dataFolder);
    out << boot::keptCopiesTable(boot::listKeptCopies(folder), folder);
    return boot::kExitSuccess;
  }
  if (line->command == Command::History)
    return showHistory(*line, dataFolder, out, err);
  const std::string folder = line->folder.empty() ? platform::programFolder() : line->folder;
  if (runsSeveralUnits(*line)) {
    return runBatch(batchRequest(*line, folder, dataFolder), out, err, errIsTerminal, ports,
                    probeTimeoutMs, replyTimeoutMs);
  }
  boot::ImageFile image =
      line->image.empty() ? boot::imageFileIn(folder) : boot::chosenImageFile(line->image);
  if (line->command == Command::Restore) {
    const std::optional<std::string> copy =
        line->keptCopy.empty() ? newestKeptCopy(dataFolder, err) : line->keptCopy;
    if (!copy) {
      if (line->json)
        out << boot::recordJson(nothingToRestore()) << '\n';
      return boot::kExitFailure;
    }
    image = boot::chosenImageFile(*copy);
  }
  const boot::ImageFile readback =
      line->output.empty() ? boot::readbackFileIn(folder) : boot::chosenReadbackFile(line->output);
  PortChoice port = choosePort(line->port);
  if (line->port == kAutoPort) {
    const std::optional<std::string> found = findPort(ports(), probeTimeoutMs, err);
    if (!found)
      return boot::kExitFailure;
    port.devices[0] = *found;  // the listed name as it is, COM5 and above too
  }
  const boot::Operation operation = operationOf(line->command);
  // With --json the statuses make way for the record on standard output.
  ConsoleUi ui(line->json ? err : out, err, errIsTerminal);
  const boot::UpdateSafety safety = safetyOf(*line, dataFolder);
  ui.describeOperation(operation, line->block, !safety.legacy);
  boot::UpdaterPresenter presenter(ui, err, port.devices, replyTimeoutMs);
  presenter.programmer().setBlockMode(line->block);
  presenter.programmer().setSafety(safety);
  presenter.run(operation, port.portIndex, image, readback);
  if (line->json)
    out << boot::recordJson(presenter.lastRecord()) << '\n' << std::flush;
  return boot::exitStatusOf(presenter.lastResult());
}

}  // namespace quillmar::cli
