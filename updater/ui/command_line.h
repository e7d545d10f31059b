// The dialog program's command line. It is read before the application object exists, so that
// --help and a bad command line are answered on the console without a display.
#pragma once

#include <QStringList>
#include <string>

#include "updater/ui/updater_dialog.h"

namespace quillmar::ui {

// What a program run does after reading its command line.
struct ProgramStart {
  enum Action {
    RunDialog,  // open the dialog with `settings`
    ShowHelp,   // write `text` (the options) to standard output, exit 0
    Refuse,     // write `text` (what is wrong, where to look) to standard error, exit 2
  };
  Action action = RunDialog;
  std::string text;
  UpdaterSettings settings;
};

// Reads `arguments` (the program's name first). The toolkit's own options, such as
// "-platform NAME" or "-style NAME", are let through for the application object to take.
ProgramStart readCommandLine(const QStringList& arguments);

}  // namespace quillmar::ui
