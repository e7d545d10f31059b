// RestoreDialog: the choice of the kept copy that Restore programs, in a drop-down list, newest
// first and chosen at the start; Restore (the default) takes the one shown, Cancel or Escape none.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

namespace quillmar::ui {

class RestoreDialog : public QDialog {
 public:
  // `lines` describe the copies, one each, in the order offered.
  RestoreDialog(QWidget* parent, const std::vector<std::string>& lines);

  // The index among `lines` of the copy chosen.
  int chosen() const;
};

}  // namespace quillmar::ui
