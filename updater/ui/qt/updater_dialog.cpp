// The main dialog: controls, the about command, the port, transfer and copy choices, Restore, and
// operations on a worker thread.
#include "ui/qt/updater_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QTimer>
#include <iostream>

#include "ui/common/kept_copy_choice.h"
#include "ui/common/operation_buttons.h"
#include "ui/qt/dialog_template.h"
#include "ui/qt/info_dialogs.h"
#include "ui/qt/restore_dialog.h"
#include "ui/qt/several_units_window.h"

namespace quillmar::ui {
namespace {

// The radio buttons in port order: Com1, Com2.
constexpr int kPortButtons[] = {kIdCom1, kIdCom2};

}  // namespace

UpdaterDialog::UpdaterDialog(const DialogSettings& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      choices_(settings),
      ui_(*this),
      presenter_(ui_, std::cerr, boot::defaultPortDevices(), settings.replyTimeoutMs),
      lock_(*this) {
  buildDialog(*this, kUpdaterDialogLayout);
  files_ = new FileChoiceControls(*this, settings.programFolder);
  addAboutAction();
  connectButtons();
  control<QRadioButton>(*this, kIdCom1)->setChecked(true);
  control<QCheckBox>(*this, kIdFastTransfers)->setChecked(settings.block);
  // Legacy keeps no copy: the box says so and can't be ticked.
  QCheckBox& keep = *control<QCheckBox>(*this, kIdKeepCopy);
  keep.setChecked(choices_.keepCopy());
  keep.setEnabled(!settings.safety.legacy);
  connectPortChoice();
}

UpdaterDialog::~UpdaterDialog() {
  delete severalUnits_;  // before the file rows it takes its files from
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
  connect(control<QPushButton>(*this, kIdRestore), &QPushButton::clicked, this,
          &UpdaterDialog::onRestore);
  connect(control<QPushButton>(*this, kIdSeveralUnits), &QPushButton::clicked, this,
          &UpdaterDialog::onSeveralUnits);
}

// The port list follows the checked Com button and is read again before it is used; choosing
// in it changes the port behind that button.
void UpdaterDialog::connectPortChoice() {
  auto* list = dynamic_cast<DropDownList*>(control<QComboBox>(*this, kIdPortList));
  list->aboutToUse = [this] { showPortChoices(); };
  connect(list, &QComboBox::activated, this, &UpdaterDialog::choosePort);
  for (const int id : kPortButtons) {
    connect(control<QRadioButton>(*this, id), &QRadioButton::toggled, this, [this](bool checked) {
      if (checked)
        showPortChoices();
    });
  }
  showPortChoices();
}

int UpdaterDialog::checkedButton() const {
  return control<QRadioButton>(*this, kIdCom2)->isChecked() ? 1 : 0;
}

// Fills the port list for the checked button; each button's tooltip names its port.
void UpdaterDialog::showPortChoices() {
  const PortChoices choices = choices_.choices(checkedButton());
  QComboBox& list = *control<QComboBox>(*this, kIdPortList);
  const QSignalBlocker quiet(list);
  list.clear();
  for (const boot::ComPort& port : choices.ports)
    list.addItem(QString::fromStdString(port.label), QString::fromStdString(port.device));
  list.setCurrentIndex(choices.current);
  list.setToolTip(list.currentText());
  for (int button = 0; button < std::ssize(kPortButtons); ++button) {
    control<QRadioButton>(*this, kPortButtons[button])
        ->setToolTip(QString::fromStdString(choices_.port(button).label));
  }
}

void UpdaterDialog::choosePort(int index) {
  QComboBox& list = *control<QComboBox>(*this, kIdPortList);
  const int button = checkedButton();
  choices_.choose(
      button, {list.itemData(index).toString().toStdString(), list.itemText(index).toStdString()});
  list.setToolTip(list.itemText(index));
  control<QRadioButton>(*this, kPortButtons[button])->setToolTip(list.itemText(index));
}

// The question of fast transfers, Yes the default: it only speeds the operation up.
bool UpdaterDialog::ask(const std::string& question) {
  return askYesNo(*this, question, QMessageBox::Yes);
}

void UpdaterDialog::startOperation(boot::Operation operation) {
  if (operationRunning())
    return;
  const std::optional<boot::OperationFiles> files = files_->filesFor(operation);
  if (files)
    runOperation(operation, *files);
}

// The copies are read again each time; with none kept, a box names the folder they would be in.
void UpdaterDialog::onRestore() {
  if (operationRunning())
    return;
  const KeptCopyChoices kept = keptCopyChoices(choices_.safety());
  if (kept.copies.empty()) {
    showInformation(*this, noKeptCopyMessage(kept.folder));
    return;
  }
  std::vector<std::string> lines;
  for (const boot::KeptCopy& copy : kept.copies)
    lines.push_back(keptCopyLine(copy));
  RestoreDialog choice(this, lines);
  if (choice.exec() != QDialog::Accepted)
    return;
  boot::OperationFiles files = files_->filesFor(boot::Operation::Restore).value();
  files.image = keptCopyImage(kept.copies[choice.chosen()]);
  runOperation(boot::Operation::Restore, files);
}

// The window takes the ticks as they are now; until it closes, this dialog takes no input, so
// that no single operation opens a port its units use.
void UpdaterDialog::onSeveralUnits() {
  if (operationRunning())
    return;
  const RunChoices run{control<QCheckBox>(*this, kIdFastTransfers)->isChecked(),
                       control<QCheckBox>(*this, kIdKeepCopy)->isChecked()};
  auto* window = new SeveralUnitsWindow(settings_, *files_, run, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &QDialog::finished, this, [this] { lock_.release(); });
  severalUnits_ = window;
  lock_.engage();
  window->show();
}

// Reads the port from the radio buttons and the safety steps from the tick box, asks about fast
// transfers where a slow adapter makes that worth it, and runs `operation` on `files` on a
// worker thread. The presenter reports through ui_, which hands every call back to this thread.
void UpdaterDialog::runOperation(boot::Operation operation, const boot::OperationFiles& files) {
  portChoice_ = checkedButton();
  choices_.setKeepCopy(control<QCheckBox>(*this, kIdKeepCopy)->isChecked());
  QCheckBox& fast = *control<QCheckBox>(*this, kIdFastTransfers);
  choices_.setFast(fast.isChecked());
  choices_.prepare(presenter_.programmer(), operation, portChoice_,
                   [this](const std::string& question) { return ask(question); });
  fast.setChecked(choices_.fast());
  lock_.engage();
  ui_.operationStarted(operation, choices_.fast(), choices_.safety());
  worker_ = QThread::create([this, operation, port = portChoice_, files] {
    presenter_.run(operation, port, files.image, files.readback);
  });
  connect(worker_, &QThread::finished, this, &UpdaterDialog::finishOperation);
  worker_->start();
}

void UpdaterDialog::finishOperation() {
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  ui_.operationEnded();
  lock_.release();
}

}  // namespace quillmar::ui
