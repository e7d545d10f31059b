// QUILLmar_Update: the dialog program. The command line only says which devices stand behind
// the Com radio buttons and, for tests and demonstrations, where the image files lie.
#include <QApplication>
#include <QCommandLineParser>

#include "updater/boot/program_folder.h"
#include "updater/ui/updater_dialog.h"

namespace {

using quillmar::ui::UpdaterSettings;

// Reads --com1, --com2 and --folder into the dialog's settings; exits on a bad command line.
UpdaterSettings parseSettings(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Programs, reads back or identifies the QUILLmar unit's firmware over a serial port.");
  parser.addHelpOption();
  const QCommandLineOption com1("com1", "Device behind Com1 (default /dev/ttyS0).", "DEVICE");
  const QCommandLineOption com2("com2", "Device behind Com2 (default /dev/ttyS1).", "DEVICE");
  const QCommandLineOption folder(
      "folder", "Folder of quillmar.hex and quillread.hex (default: the program's own).", "FOLDER");
  parser.addOptions({com1, com2, folder});
  parser.process(app);

  UpdaterSettings settings;
  if (parser.isSet(com1))
    settings.devices[0] = parser.value(com1).toStdString();
  if (parser.isSet(com2))
    settings.devices[1] = parser.value(com2).toStdString();
  settings.programFolder =
      parser.isSet(folder) ? parser.value(folder).toStdString() : quillmar::boot::programFolder();
  return settings;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUILLmar_Update");
  QApplication::setApplicationVersion("1.1");
  const UpdaterSettings settings = parseSettings(app);
  quillmar::ui::UpdaterDialog dialog(settings);
  dialog.exec();  // the program ends when the dialog closes
  return 0;
}
