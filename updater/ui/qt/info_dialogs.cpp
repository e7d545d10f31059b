// The help dialog and the about box.
#include "ui/qt/info_dialogs.h"

#include <QLabel>
#include <QPushButton>

#include "ui/qt/dialog_template.h"

namespace quillmar::ui {
namespace {

// Builds `dialog` from `layout` and lets its default button (id 1) close it.
void buildClosableDialog(QDialog& dialog, const DialogLayout& layout) {
  buildDialog(dialog, layout);
  QObject::connect(control<QPushButton>(dialog, kIdOk), &QPushButton::clicked, &dialog,
                   &QDialog::accept);
}

}  // namespace

HelpDialog::HelpDialog(QWidget* parent) : QDialog(parent) {
  buildClosableDialog(*this, kHelpDialogLayout);
  control<QLabel>(*this, kIdHelpText)->setText(QString::fromStdString(helpText()));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  buildClosableDialog(*this, kAboutDialogLayout);
}

}  // namespace quillmar::ui
