// DialogOperationUi: the main dialog's status line, progress bar and message boxes offered to an
// operation running on a worker thread. Every call is carried out on the dialog's thread;
// showMessage and confirmVersion wait there until the user has closed the box. The time line under
// the progress bar follows the progress, and the time between steps.
#pragma once

#include <QMessageBox>
#include <QTimer>
#include <string>

#include "boot/operation_ui.h"
#include "boot/updater_presenter.h"
#include "ui/common/operation_clock.h"

class QDialog;

namespace quillmar::ui {

class DialogOperationUi : public boot::OperationUi {
 public:
  // `dialog` must hold the status line and progress bar of the main dialog's template and
  // outlive this object.
  explicit DialogOperationUi(QDialog& dialog);

  void showMessage(const std::string& text) override;
  void setProgressRange(int steps) override;
  void setProgressPosition(int step) override;
  void setStatus(const std::string& text) override;
  // Asks the gate's question with No as the default button, so Enter never erases by accident.
  bool confirmVersion(const boot::VersionPair& versions, boot::GateVerdict verdict) override;

  // On the dialog's thread: an operation starts (in block transfers or not, with the steps of
  // `safety` before an update's erase), or has ended.
  void operationStarted(boot::Operation operation, bool block, const boot::UpdateSafety& safety);
  void operationEnded();

 private:
  void showTime();

  QDialog& dialog_;
  OperationClock clock_;  // used on the dialog's thread only
  QTimer ticker_;
};

// Shows the modal warning box the updater uses for every failure, titled with the program's
// name, with an OK button; returns when the user has closed it.
void showWarning(QDialog& parent, const std::string& text);

// Shows a modal box with `text` and the information icon, titled like the warning box.
void showInformation(QDialog& parent, const std::string& text);

// Asks `question` in a modal box with Yes and No, `preferred` the default button; true for Yes.
bool askYesNo(QDialog& parent, const std::string& question, QMessageBox::StandardButton preferred);

}  // namespace quillmar::ui
