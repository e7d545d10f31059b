// DialogOperationUi: the main dialog's status line, progress bar and message boxes offered to an
// operation running on a worker thread. Every call is carried out on the dialog's thread;
// showMessage waits there until the user has closed the box. The time line under the progress
// bar follows the progress, and the time between steps.
#pragma once

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

  // On the dialog's thread: an operation starts (in block transfers or not), or has ended.
  void operationStarted(boot::Operation operation, bool block);
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

}  // namespace quillmar::ui
