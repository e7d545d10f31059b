// UpdaterDialog: the main dialog of QUILLmar_Update. Its buttons run one whole operation each
// through the shared presenter, on a worker thread so that the dialog keeps painting; while
// an operation runs the dialog takes no input. Below the progress bar it shows the time of an
// operation, the port behind the checked Com button (any of the computer's ports can be
// chosen there), the choice of fast transfers and whether an update keeps a copy of the unit
// first; Restore programs one of the copies kept. "Several units..." opens a window of its own
// that runs an operation on many ports at once, the main dialog taking no input meanwhile.
//
// ui/qt/ is the dialog program on Qt 6 Widgets, the only folder that uses Qt: these widgets over
// the dialogs' toolkit-free part (ui/common/), with the program's icons and menu entry.
#pragma once

#include <QDialog>
#include <QPointer>
#include <string>

#include "boot/updater_presenter.h"
#include "ui/common/dialog_choices.h"
#include "ui/qt/dialog_operation_ui.h"
#include "ui/qt/file_choice.h"
#include "ui/qt/input_lock.h"

class QThread;

namespace quillmar::ui {

class UpdaterDialog : public QDialog {
 public:
  explicit UpdaterDialog(const DialogSettings& settings, QWidget* parent = nullptr);
  // Waits for a running operation to end.
  ~UpdaterDialog() override;

  // True from a button press until its operation has shown its outcome.
  bool operationRunning() const { return lock_.engaged(); }
  // The "Several units" window while it is open, else null.
  QDialog* severalUnits() const { return severalUnits_; }
  // The port of the last operation: 0 for Com1, 1 for Com2; -1 before the first.
  int portChoice() const { return portChoice_; }
  // The file rows: the image and the read-back file the operations use.
  FileChoiceControls& fileChoice() { return *files_; }

 protected:
  // Opens the help dialog once the dialog first shows, so the user meets the instructions first.
  void showEvent(QShowEvent* event) override;

 private:
  // Opens the help dialog modally.
  void onHelp();
  // Opens the about box modally.
  void onAbout();
  void addAboutAction();
  void connectButtons();
  void connectPortChoice();
  int checkedButton() const;
  void showPortChoices();
  void choosePort(int index);
  bool ask(const std::string& question);
  void startOperation(boot::Operation operation);
  // Lets the user choose a kept copy and restores it.
  void onRestore();
  // Opens the "Several units" window with the files and choices shown here.
  void onSeveralUnits();
  void runOperation(boot::Operation operation, const boot::OperationFiles& files);
  void finishOperation();

  int portChoice_ = -1;
  bool helpShown_ = false;
  DialogSettings settings_;
  DialogChoices choices_;
  DialogOperationUi ui_;
  boot::UpdaterPresenter presenter_;
  InputLock lock_;
  FileChoiceControls* files_;  // owned by the dialog as its child
  QThread* worker_ = nullptr;
  QPointer<QDialog> severalUnits_;  // the "Several units" window while it is open
};

}  // namespace quillmar::ui
