// The main dialog: controls, the about command, and operations on a worker thread.
#include "ui/updater_dialog.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <iostream>

#include "ui/dialog_template.h"
#include "ui/info_dialogs.h"
#include "ui/operation_buttons.h"

namespace quillmar::ui {
namespace {

// The radio buttons in port order: Com1, Com2.
constexpr int kPortButtons[] = {kIdCom1, kIdCom2};

}  // namespace

UpdaterDialog::UpdaterDialog(const UpdaterSettings& settings, QWidget* parent)
    : QDialog(parent),
      ui_(*this),
      presenter_(ui_, std::cerr, settings.devices, settings.replyTimeoutMs),
      lock_(*this) {
  presenter_.programmer().setBlockMode(settings.block);
  buildDialog(*this, kUpdaterDialogLayout);
  files_ = new FileChoiceControls(*this, settings.programFolder);
  addAboutAction();
  connectButtons();
  for (int port = 0; port < std::ssize(kPortButtons); ++port) {
    const std::string& tip = settings.portTips[port];
    control<QRadioButton>(*this, kPortButtons[port])
        ->setToolTip(QString::fromStdString(tip.empty() ? settings.devices[port] : tip));
  }
  control<QRadioButton>(*this, kIdCom1)->setChecked(true);
}

UpdaterDialog::~UpdaterDialog() {
  if (worker_ != nullptr)
    worker_->wait();
}

void UpdaterDialog::onHelp() {
  HelpDialog help(this);
  help.exec();
}

void UpdaterDialog::onAbout() {
  AboutDialog about(this);
  about.exec();
}

void UpdaterDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (helpShown_)
    return;
  helpShown_ = true;
  QTimer::singleShot(0, this, &UpdaterDialog::onHelp);
}

// The about command, in the dialog's context menu and on its keyboard shortcut.
void UpdaterDialog::addAboutAction() {
  auto* about = new QAction(QString::fromUtf8(kAboutMenuText), this);
  about->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  about->setShortcutContext(Qt::WindowShortcut);
  connect(about, &QAction::triggered, this, &UpdaterDialog::onAbout);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  addAction(about);
}

void UpdaterDialog::connectButtons() {
  for (const OperationButton& button : kOperationButtons) {
    connect(control<QPushButton>(*this, button.id), &QPushButton::clicked, this,
            [this, operation = button.operation] { startOperation(operation); });
  }
  connect(control<QPushButton>(*this, kIdCancel), &QPushButton::clicked, this, &QDialog::reject);
  connect(control<QPushButton>(*this, kIdHelp), &QPushButton::clicked, this,
          &UpdaterDialog::onHelp);
}

// Reads the port from the radio buttons and runs `operation` on its files on a worker thread. The
// presenter reports through ui_, which hands every call back to this thread.
void UpdaterDialog::startOperation(boot::Operation operation) {
  if (operationRunning())
    return;
  const std::optional<boot::OperationFiles> files = files_->filesFor(operation);
  if (!files)
    return;
  portChoice_ = control<QRadioButton>(*this, kIdCom2)->isChecked() ? 1 : 0;
  lock_.engage();
  worker_ = QThread::create([this, operation, port = portChoice_, files = *files] {
    presenter_.run(operation, port, files.image, files.readback);
  });
  connect(worker_, &QThread::finished, this, &UpdaterDialog::finishOperation);
  worker_->start();
}

void UpdaterDialog::finishOperation() {
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  lock_.release();
}

}  // namespace quillmar::ui
