// QUILLmar_Update: the dialog program. The command line only says which ports stand behind
// the Com radio buttons at the start (by default this computer's first serial ports), whether
// fast transfers are chosen, and, for tests and demonstrations, where the image files lie. It
// is read before the application object is made, which needs a display.
#include <QApplication>
#include <iostream>

#include "ui/qt/command_line.h"
#include "ui/qt/updater_dialog.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  const quillmar::ui::ProgramStart start = quillmar::ui::readCommandLine(arguments);
  switch (start.action) {
    case quillmar::ui::ProgramStart::ShowText:
      std::cout << start.text << std::flush;
      return 0;
    case quillmar::ui::ProgramStart::Refuse:
      std::cerr << start.text << std::flush;
      return 2;
    case quillmar::ui::ProgramStart::RunDialog:
      break;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("QUILLmar_Update");
  QApplication::setApplicationVersion("1.1");
  quillmar::ui::UpdaterDialog dialog(
      quillmar::ui::dialogSettings(start.options, quillmar::boot::listSerialPortDetails()));
  dialog.exec();  // the program ends when the dialog closes
  return 0;
}
