// The main dialog as the user interface of a running operation.
#include "ui/qt/dialog_operation_ui.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QThread>

#include "ui/qt/dialog_template.h"

namespace quillmar::ui {
namespace {

// Runs `work` on the thread of `dialog`: at once when called there, else queued behind the
// earlier calls. With `wait`, returns only after `work` has run.
template <class Work>
void onDialogThread(QDialog& dialog, Work work, bool wait) {
  if (QThread::currentThread() == dialog.thread()) {
    work();
    return;
  }
  QMetaObject::invokeMethod(&dialog, std::move(work),
                            wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

// Once a second the time line moves on, also while a slow step is under way.
constexpr int kTickMs = 1000;

}  // namespace

DialogOperationUi::DialogOperationUi(QDialog& dialog) : dialog_(dialog) {
  ticker_.setInterval(kTickMs);
  QObject::connect(&ticker_, &QTimer::timeout, &dialog_, [this] { showTime(); });
}

void DialogOperationUi::showMessage(const std::string& text) {
  onDialogThread(
      dialog_, [this, text] { showWarning(dialog_, text); }, true);
}

void DialogOperationUi::setProgressRange(int steps) {
  onDialogThread(
      dialog_,
      [this, steps] {
        control<QProgressBar>(dialog_, kIdProgress)->setRange(0, steps);
        clock_.setRange(steps, OperationClock::Clock::now());
        showTime();
      },
      false);
}

void DialogOperationUi::setProgressPosition(int step) {
  onDialogThread(
      dialog_,
      [this, step] {
        control<QProgressBar>(dialog_, kIdProgress)->setValue(step);
        clock_.setPosition(step);
        showTime();
      },
      false);
}

// A status longer than the line (the path of a kept copy) loses its middle, so that its start and
// the file's name stay in view; the tooltip shows it whole.
void DialogOperationUi::setStatus(const std::string& text) {
  onDialogThread(
      dialog_,
      [this, text] {
        QLabel& line = *control<QLabel>(dialog_, kIdStatus);
        const QString whole = QString::fromStdString(text);
        const QString shown = line.fontMetrics().elidedText(whole, Qt::ElideMiddle, line.width());
        line.setText(shown);
        line.setToolTip(shown == whole ? QString() : whole);
      },
      false);
}

bool DialogOperationUi::confirmVersion(const boot::VersionPair& versions,
                                       boot::GateVerdict verdict) {
  const std::string question = boot::gateQuestion(versions, verdict);
  bool yes = false;
  onDialogThread(
      dialog_, [this, &question, &yes] { yes = askYesNo(dialog_, question, QMessageBox::No); },
      true);
  return yes;
}

void DialogOperationUi::operationStarted(boot::Operation operation, bool block,
                                         const boot::UpdateSafety& safety) {
  clock_.start(operation, block, safety, OperationClock::Clock::now());
  showTime();
  ticker_.start();
}

void DialogOperationUi::operationEnded() {
  ticker_.stop();
  clock_.finish(OperationClock::Clock::now());
  showTime();
}

void DialogOperationUi::showTime() {
  control<QLabel>(dialog_, kIdTimeLine)
      ->setText(QString::fromStdString(clock_.line(OperationClock::Clock::now())));
}

void showWarning(QDialog& parent, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProgramName),
                  QString::fromStdString(text), QMessageBox::Ok, &parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void showInformation(QDialog& parent, const std::string& text) {
  QMessageBox box(QMessageBox::Information, QString::fromUtf8(kProgramName),
                  QString::fromStdString(text), QMessageBox::Ok, &parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool askYesNo(QDialog& parent, const std::string& question, QMessageBox::StandardButton preferred) {
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(kProgramName),
                  QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No, &parent);
  box.setDefaultButton(preferred);
  box.setTextFormat(Qt::PlainText);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace quillmar::ui
