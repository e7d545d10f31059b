// FileChoiceControls: the main dialog's file rows. They show the image Update programs and the
// file Read writes, let the user choose either through the "..." buttons (the standard open and
// save dialogs), and take a .hex or .bin file dropped onto the dialog as the image. Read asks
// where to save first when it would write the default file in a folder that can't be written.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

#include "boot/file_choice.h"
#include "boot/updater_presenter.h"

namespace quillmar::ui {

class FileChoiceControls {
 public:
  // Takes the file rows of `dialog` and lets it accept dropped files; the defaults lie in
  // `folder`.
  void attach(HWND dialog, const std::string& folder);

  // Handles the "..." buttons; false for any other control.
  bool command(int id);
  // Takes a dropped .hex or .bin file as the image, and releases the drop.
  void drop(HDROP files);

  // The files `operation` works on; for a Read whose default file can't be written, asks for one
  // first. Empty when the user cancelled that question: the operation does not run.
  std::optional<boot::OperationFiles> filesFor(boot::Operation operation);

 private:
  // Asks for the image to program; a cancelled question keeps the one there was.
  void chooseImage();
  // Asks where Read saves; false when the user cancelled.
  bool chooseReadback();
  // Shows the current image and read-back file on their rows.
  void showNames();

  HWND dialog_ = nullptr;
  boot::FileChoice choice_{""};
};

}  // namespace quillmar::ui
