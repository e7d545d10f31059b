// The dialog that chooses the kept copy to restore.
#include "ui/qt/restore_dialog.h"

#include <QComboBox>
#include <QPushButton>

#include "ui/qt/dialog_template.h"

namespace quillmar::ui {

RestoreDialog::RestoreDialog(QWidget* parent, const std::vector<std::string>& lines)
    : QDialog(parent) {
  buildDialog(*this, kRestoreDialogLayout);
  QComboBox& list = *control<QComboBox>(*this, kIdCopyList);
  for (const std::string& line : lines)
    list.addItem(QString::fromStdString(line));
  list.setCurrentIndex(0);
  connect(control<QPushButton>(*this, kIdOk), &QPushButton::clicked, this, &QDialog::accept);
  connect(control<QPushButton>(*this, kIdCancel), &QPushButton::clicked, this, &QDialog::reject);
}

int RestoreDialog::chosen() const {
  return control<QComboBox>(*this, kIdCopyList)->currentIndex();
}

}  // namespace quillmar::ui
