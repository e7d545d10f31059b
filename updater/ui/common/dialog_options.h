// The dialog program's command line, the same for the Qt dialog and the native Windows one and
// free of any toolkit: --com1, --com2, --folder, --block, --no-backup, --legacy, --help and
// --version. It is read before any window exists, so --help and a bad command line are answered
// without a display.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

namespace quillmar::ui {

// What the command line asks of the dialog.
struct DialogOptions {
  std::array<std::string, 2> ports;  // --com1, --com2; "" where not given
  std::string folder;                // --folder; "" where not given
  bool block = false;                // --block: start with fast transfers chosen
  bool noBackup = false;             // --no-backup: start with "Keep a copy" off
  bool legacy = false;               // --legacy: no copy, no version gate, no history
};

// What a program run does after reading its command line.
struct ProgramStart {
  enum Action {
    RunDialog,  // open the dialog with `options`
    ShowText,   // show `text` (the options, or the version) and end with status 0
    Refuse,     // show `text` (what is wrong, where to look) and end with status 2
  };
  Action action = RunDialog;
  std::string text;
  DialogOptions options;
};

// An option of the window system that the program lets through for it to take, unlisted in
// the help ("-platform NAME", "-reverse").
struct PassedOption {
  const char* name;
  bool takesValue;
};

// Reads `arguments` (the program's name first). Options are written "--name" or "-name", a
// value as the next argument or after "="; "--" ends the options. `ownPorts` are the ports
// Com1 and Com2 stand for where the computer has them ("": none), as the help tells.
ProgramStart readDialogOptions(const std::vector<std::string>& arguments,
                               std::span<const PassedOption> passed,
                               const std::array<std::string, 2>& ownPorts);

}  // namespace quillmar::ui
