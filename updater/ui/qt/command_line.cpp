// Reading the Qt dialog program's command line.
#include "ui/qt/command_line.h"

#include "boot/serial_ports.h"

namespace quillmar::ui {
namespace {

// The toolkit's own options (those of every program on it and of its X11 platform), which the
// application object takes out of the command line; accepted here and left out of the help.
constexpr PassedOption kToolkitOptions[] = {
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

}  // namespace

ProgramStart readCommandLine(const QStringList& arguments) {
  std::vector<std::string> words;
  for (const QString& argument : arguments)
    words.push_back(argument.toStdString());
  return readDialogOptions(words, kToolkitOptions, boot::comButtonPorts());
}

}  // namespace quillmar::ui
