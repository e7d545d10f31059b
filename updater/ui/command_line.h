// The dialog program's command line. It is read before the application object exists, so that
// --help and a bad command line are answered on the console without a display.
#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "link/port_list.h"
#include "ui/updater_dialog.h"

namespace quillmar::ui {

// What a program run does after reading its command line.
struct ProgramStart {
  enum Action {
    RunDialog,  // open the dialog with `settings`
    ShowText,   // write `text` (the options, or the version) to standard output, exit 0
    Refuse,     // write `text` (what is wrong, where to look) to standard error, exit 2
  };
  Action action = RunDialog;
  std::string text;
  UpdaterSettings settings;
};

// Reads `arguments` (the program's name first). The toolkit's own options, such as
// "-platform NAME" or "-style NAME", are let through for the application object to take.
// Com1 and Com2 without --com1/--com2 stand for the first of `ports` (this computer's serial
// ports, USB adapters first) not already given to the other; /dev/ttyS0 and /dev/ttyS1 when
// too few are listed. Each button's tooltip is its device's line of `ports`, or the device.
ProgramStart readCommandLine(const QStringList& arguments,
                             const std::vector<link::SerialPortInfo>& ports);

}  // namespace quillmar::ui
