// Reading the dialog program's command line without the toolkit's application object.
#include "ui/command_line.h"

#include <QCommandLineParser>
#include <algorithm>

#include "boot/program_folder.h"
#include "ui/dialog_resources.h"

namespace quillmar::ui {
namespace {

// The toolkit's own options (those of every program on it and of its X11 platform), which the
// application object takes out of the command line; accepted here and hidden from the help.
struct ToolkitOption {
  const char* name;
  bool takesValue;
};

constexpr ToolkitOption kToolkitOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"title", true},
    {"icon", true},
    {"name", true},
    {"visual", true},
    {"style", true},
    {"stylesheet", true},
    {"reverse", false},
    {"widgetcount", false},
    {"sync", false},
    {"nograb", false},
    {"dograb", false},
};

QCommandLineOption hiddenOption(const ToolkitOption& known) {
  QCommandLineOption option(QString::fromLatin1(known.name));
  if (known.takesValue)
    option.setValueName(QStringLiteral("VALUE"));
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

ProgramStart refuse(const QString& problem) {
  ProgramStart start;
  start.action = ProgramStart::Refuse;
  start.text = std::string(kProgramName) + ": " + problem.toStdString() + "\nTry '" + kProgramName +
               " --help' for the options.\n";
  return start;
}

// The buttons' devices: those given, then the listed ports in order for the others.
void choosePortDevices(UpdaterSettings& settings, const std::vector<std::string>& given,
                       const std::vector<link::SerialPortInfo>& ports) {
  auto next = ports.begin();
  for (size_t button = 0; button < given.size(); ++button) {
    if (!given[button].empty()) {
      settings.devices[button] = given[button];
      continue;
    }
    next = std::find_if(next, ports.end(), [&](const link::SerialPortInfo& port) {
      return std::find(given.begin(), given.end(), port.name) == given.end();
    });
    if (next != ports.end())
      settings.devices[button] = (next++)->name;
  }
  for (size_t button = 0; button < given.size(); ++button) {
    const auto listed = std::find_if(
        ports.begin(), ports.end(),
        [&](const link::SerialPortInfo& p) { return p.name == settings.devices[button]; });
    settings.portTips[button] =
        listed == ports.end() ? settings.devices[button] : link::describePort(*listed);
  }
}

}  // namespace

ProgramStart readCommandLine(const QStringList& arguments,
                             const std::vector<link::SerialPortInfo>& ports) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);  // "-platform xcb"
  parser.setApplicationDescription(
      "Programs, reads back or identifies the QUILLmar unit's firmware over a serial port.");
  const QCommandLineOption help({"h", "help"}, "Shows these options and ends.");
  const QCommandLineOption version("version", "Shows this program's version and ends.");
  const QCommandLineOption com1(
      "com1",
      "Device behind Com1 (default the first serial port, USB adapters first, else /dev/ttyS0).",
      "DEVICE");
  const QCommandLineOption com2(
      "com2", "Device behind Com2 (default the next serial port, else /dev/ttyS1).", "DEVICE");
  const QCommandLineOption folder(
      "folder", "Folder of quillmar.hex and quillread.hex (default: the program's own).", "FOLDER");
  const QCommandLineOption block(
      "block",
      "Uses the boot loader's block transfers (one command per 256-byte page) when it offers "
      "them; a boot loader without them gets the usual dialogue.");
  parser.addOptions({help, version, com1, com2, folder, block});
  for (const ToolkitOption& known : kToolkitOptions) {
    parser.addOption(hiddenOption(known));
  }

  if (!parser.parse(arguments))
    return refuse(parser.errorText());
  ProgramStart start;
  if (parser.isSet(help)) {
    start.action = ProgramStart::ShowText;
    // Without the application object the parser does not know the program's name.
    start.text = parser.helpText()
                     .replace(QStringLiteral("<executable_name>"), QString::fromUtf8(kProgramName))
                     .toStdString();
    return start;
  }
  if (parser.isSet(version)) {
    start.action = ProgramStart::ShowText;
    start.text = std::string(kProgramName) + " " + kProgramVersion + "\n";
    return start;
  }
  if (!parser.positionalArguments().isEmpty())
    return refuse(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]));

  UpdaterSettings& settings = start.settings;
  choosePortDevices(settings, {parser.value(com1).toStdString(), parser.value(com2).toStdString()},
                    ports);
  settings.block = parser.isSet(block);
  settings.programFolder =
      parser.isSet(folder) ? parser.value(folder).toStdString() : boot::programFolder();
  return start;
}

}  // namespace quillmar::ui
