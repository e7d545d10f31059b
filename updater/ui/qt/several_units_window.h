// SeveralUnitsWindow: the "Several units" window, opened from the main dialog. It lists the
// computer's ports in rows (tick box with the port's name, description, progress bar, status,
// outcome), reads the list again as adapters come and go, and runs Update, Read, Version or
// Restore on every ticked port at once through the shared model (ui/common/several_units.h).
// A unit's failure shows in its row, marked in red, never in a box that would hold the others
// up; the summary line ends each run. The window stays responsive while the units run; Cancel
// asks before it stops a run and closes the window when none is under way.
#pragma once

#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "ui/common/dialog_choices.h"
#include "ui/common/several_units.h"
#include "ui/qt/file_choice.h"

class QWidget;

namespace quillmar::ui {

class SeveralUnitsWindow : public QDialog {
 public:
  // The operations take their files from `files` (the main dialog's rows) and the transfer and
  // copy choices from `choices`; `settings` gives the ports, folder and safety steps.
  SeveralUnitsWindow(const DialogSettings& settings, FileChoiceControls& files,
                     const RunChoices& choices, QWidget* parent);

  bool running() const { return model_.running(); }

  // Cancel, Escape and the close command: while units run, asks whether to stop them;
  // otherwise closes the window.
  void reject() override;

 protected:
  // What the units' threads noted: the rows changed, then the run's end.
  void customEvent(QEvent* event) override;

 private:
  // From a unit's thread: `row` changed, or (without one) the run ended. The change waits under
  // the window's own lock, and one event at a time, made on the window's thread, tells that
  // thread: a thread checker can follow this hand-over, as it cannot follow Qt's own queue.
  void noteChange(std::optional<std::size_t> row);
  // Reads the port list again and makes the rows anew when it changed.
  void readPorts();
  void makeRows();
  // Shows row `index` as the model holds it.
  void showRow(std::size_t index);
  void connectButtons();
  // Runs `operation` on every ticked port, with its files from the main dialog.
  void startRun(boot::Operation operation);
  // Restore: every ticked unit its own newest kept copy, once the user has said yes.
  void startRestore();
  void runWith(boot::Operation operation, const boot::OperationFiles& files);
  // On this window's thread once the run has ended: the rows, the summary, the buttons.
  void finishRun();
  void enableControls(bool idle);

  // What the units' threads noted; before the model, so that a unit still ending as the window
  // goes finds it.
  std::mutex changesMutex_;
  std::set<std::size_t> changedRows_;  // under changesMutex_, as the next three
  bool runEnded_ = false;
  bool told_ = false;                  // an event is on its way
  std::unique_ptr<QEvent> nextEvent_;  // the one to post next
  SeveralUnits model_;
  FileChoiceControls& files_;
  RunChoices choices_;
  QWidget* rows_ = nullptr;  // the rows' widget inside the scrolling frame
  QTimer portPoll_;
};

}  // namespace quillmar::ui
