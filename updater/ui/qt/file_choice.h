// FileChoiceControls: the main dialog's file rows. They show the image Update programs and the
// file Read writes, let the user choose either through the "..." buttons, and take a .hex or .bin
// file dropped onto the dialog as the image. Read asks where to save first when it would write
// the default file in a folder that can't be written.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "boot/file_choice.h"
#include "boot/updater_presenter.h"

class QDialog;
class QWidget;

namespace quillmar::ui {

// One question for a file: an existing image to open, or a file to save the unit's image into.
struct FileQuestion {
  bool save;
  QString caption;
  QString start;  // the file the dialog starts at (its folder, and for saving its name)
  QString filter;
};

// Asks the user `question` over `parent`; the chosen path, or empty when cancelled.
using FileAsker = std::function<QString(QWidget& parent, const FileQuestion& question)>;

class FileChoiceControls : public QObject {
 public:
  // `dialog` holds the file rows of the main dialog's template; the defaults lie in `folder`.
  FileChoiceControls(QDialog& dialog, const std::string& folder);

  // The files `operation` works on; for a Read whose default file can't be written, asks for one
  // first. Empty when the user cancelled that question: the operation does not run.
  std::optional<boot::OperationFiles> filesFor(boot::Operation operation);

  // Replaces the standard file dialogs (tests answer the questions themselves).
  void setAsker(FileAsker ask) { ask_ = std::move(ask); }

 protected:
  // Takes a dropped .hex or .bin file as the image.
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  // Asks for the image to program; a cancelled question keeps the one there was.
  void chooseImage();
  // Asks where Read saves; false when the user cancelled.
  bool chooseReadback();
  // Shows the current image and read-back file on their rows.
  void showNames();

  QDialog& dialog_;
  boot::FileChoice choice_;
  FileAsker ask_;
};

}  // namespace quillmar::ui
