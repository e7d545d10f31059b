// SeveralUnitsWindow: the "Several units" window, opened from the main dialog. It lists the
// computer's ports in rows (tick box with the port's name, description, progress bar, status,
// outcome), reads the list again as adapters come and go, and runs Update, Read, Version or
// Restore on every ticked port at once through the shared model (ui/common/several_units.h).
// A unit's failure shows in its row, marked in red, never in a box that would hold the others
// up; the summary line ends each run. The window stays responsive while the units run; Cancel
// asks before it stops a run and closes the window when none is under way.
#pragma once

#include <QDialog>
#include <QTimer>
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

 private:
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

  SeveralUnits model_;
  FileChoiceControls& files_;
  RunChoices choices_;
  QWidget* rows_ = nullptr;  // the rows' widget inside the scrolling frame
  QTimer portPoll_;
};

}  // namespace quillmar::ui
