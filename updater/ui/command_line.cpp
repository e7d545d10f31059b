// Reading the dialog program's command line without the toolkit's application object.
#include "updater/ui/command_line.h"

#include <QCommandLineParser>

#include "updater/boot/program_folder.h"
#include "updater/ui/dialog_resources.h"

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

}  // namespace

ProgramStart readCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);  // "-platform xcb"
  parser.setApplicationDescription(
      "Programs, reads back or identifies the QUILLmar unit's firmware over a serial port.");
  const QCommandLineOption help({"h", "help"}, "Shows these options and ends.");
  const QCommandLineOption com1("com1", "Device behind Com1 (default /dev/ttyS0).", "DEVICE");
  const QCommandLineOption com2("com2", "Device behind Com2 (default /dev/ttyS1).", "DEVICE");
  const QCommandLineOption folder(
      "folder", "Folder of quillmar.hex and quillread.hex (default: the program's own).", "FOLDER");
  const QCommandLineOption block(
      "block",
      "Uses the boot loader's block transfers (one command per 256-byte page) when it offers "
      "them; a boot loader without them gets the usual dialogue.");
  parser.addOptions({help, com1, com2, folder, block});
  for (const ToolkitOption& known : kToolkitOptions) {
    parser.addOption(hiddenOption(known));
  }

  if (!parser.parse(arguments))
    return refuse(parser.errorText());
  ProgramStart start;
  if (parser.isSet(help)) {
    start.action = ProgramStart::ShowHelp;
    // Without the application object the parser does not know the program's name.
    start.text = parser.helpText()
                     .replace(QStringLiteral("<executable_name>"), QString::fromUtf8(kProgramName))
                     .toStdString();
    return start;
  }
  if (!parser.positionalArguments().isEmpty())
    return refuse(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]));

  UpdaterSettings& settings = start.settings;
  if (parser.isSet(com1))
    settings.devices[0] = parser.value(com1).toStdString();
  if (parser.isSet(com2))
    settings.devices[1] = parser.value(com2).toStdString();
  settings.block = parser.isSet(block);
  settings.programFolder =
      parser.isSet(folder) ? parser.value(folder).toStdString() : boot::programFolder();
  return start;
}

}  // namespace quillmar::ui
