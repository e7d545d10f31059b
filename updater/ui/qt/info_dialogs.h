// The two dialogs that only inform: the help dialog with the update instructions and the about
// box. Both are modal and closed by their one button (or Escape).
#pragma once

#include <QDialog>

namespace quillmar::ui {

// The update instructions; "Close Help" closes it.
class HelpDialog : public QDialog {
 public:
  explicit HelpDialog(QWidget* parent);
};

// The program's name and version with the icon; "OK" closes it.
class AboutDialog : public QDialog {
 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace quillmar::ui
