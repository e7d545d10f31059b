// SeveralUnits: the "Several units" window's model, shared by the Qt and the native Windows
// dialog and free of any toolkit. It lists the computer's ports, one row each with a tick box
// (every USB adapter ticked at the start), and runs one operation on every ticked port at once
// through batch::UnitBatch on a worker thread of its own. Each unit reports into its own row:
// progress, status and outcome, its failure messages included, so that no message box stops the
// other units. After a run a summary line says how many units succeeded ("7 of 8 units
// updated"); failed rows stay marked until the next run.
//
// Threads: the view calls every member on its own thread. The rows are guarded by the model's
// lock; the callbacks come from the units' threads and the worker's, and the view carries them
// over to its own thread and reads the row (row(), rows()) there. No callback comes after the
// model is destroyed.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "batch/unit_batch.h"
#include "boot/file_choice.h"
#include "boot/updater_presenter.h"
#include "ui/common/dialog_choices.h"

namespace quillmar::ui {

// Where a row's unit stands.
enum class UnitState {
  Idle,       // not in a run since the list was read, or not ticked for the last one
  Running,    // in the run under way
  Succeeded,  // the last run's operation succeeded on it
  Failed,     // it failed (or the version gate stopped it): marked until the next run
  Stopped,    // the user stopped it; left as a failed update leaves it
};

// One port of the computer as its row shows it.
struct UnitRow {
  std::string device;       // what the link opens: "/dev/ttyUSB0", "COM5"
  std::string name;         // its short name: "ttyUSB0", "COM5"
  std::string description;  // the adapter's product, or what kind of port it is
  std::string usbSerial;    // the adapter's serial number; "" where none
  bool usb = false;
  bool ticked = false;  // the next run takes it
  int progressRange = 100;
  int progressPosition = 0;
  std::string status;   // the unit's one-line status, the main dialog's texts
  std::string outcome;  // how the last run ended for it, its failure in words; "" before
  UnitState state = UnitState::Idle;
};

// Whether a row is to be marked as failed (failed or stopped).
bool marked(const UnitRow& row);

// The choices of the main dialog a run takes beyond its operation and files.
struct RunChoices {
  bool fast = false;     // fast (block) transfers
  bool keepCopy = true;  // keep a copy of each unit before its erase (never with legacy)
};

// The question Cancel asks before it stops a run.
extern const char kStopQuestion[];
// The message for a run with no port ticked.
extern const char kNothingTicked[];

class SeveralUnits {
 public:
  // Called with a row's index when it changed, from the thread of that row's unit.
  using RowChanged = std::function<void(std::size_t row)>;
  // Called once a run has ended and its summary is ready, from the run's worker thread.
  using RunEnded = std::function<void()>;

  // Reads the ports once through `settings.listPorts`; the operations take their folder,
  // safety steps and reply time-out from `settings`. Diagnostics go to `diag`.
  SeveralUnits(const DialogSettings& settings, std::ostream& diag);
  // Stops a run still under way and waits for it to end.
  ~SeveralUnits();
  SeveralUnits(const SeveralUnits&) = delete;
  SeveralUnits& operator=(const SeveralUnits&) = delete;

  // Set before the first run.
  void onRowChanged(RowChanged callback) { rowChanged_ = std::move(callback); }
  void onRunEnded(RunEnded callback) { runEnded_ = std::move(callback); }

  // Reads the computer's ports again, with the ports given on the command line that it lacks:
  // ports still present keep their ticks, states and outcomes, new ones come ticked when they
  // are USB adapters or were given, missing ones go. Nothing changes
  // while a run is under way. True when the rows changed in number, order or device.
  bool readPorts();

  std::size_t size() const;
  // A copy of row `index` (of all rows), taken under the lock.
  UnitRow row(std::size_t index) const;
  std::vector<UnitRow> rows() const;
  // Ticks or unticks row `index` for the next run; ignored while a run is under way.
  void tick(std::size_t index, bool ticked);

  // Runs `operation` on every ticked port at once with `files` (Read: each unit's file is the
  // read-back's name with the port added; Restore: each unit gets its own newest kept copy, as
  // restoreCheck() names it). The message to show instead, when nothing may start: no port
  // ticked, a ticked unit without a kept copy to restore, or the image refused before any port
  // opens. Not while a run is under way.
  std::optional<std::string> start(boot::Operation operation, const boot::OperationFiles& files,
                                   const RunChoices& choices);
  // Before a Restore: whether every ticked unit has a kept copy of its own, and the question
  // that names each unit's newest one (ready), or the message naming the units without one.
  struct RestoreCheck {
    bool ready = false;
    std::string text;
  };
  RestoreCheck restoreCheck() const;

  // True from start() until the run's units have all ended.
  bool running() const;
  // Asks every unit still running to stop at its next byte (after the view has asked the user).
  void stop();

  // The last run's line, "7 of 8 units updated"; "" before the first run and during one.
  std::string summary() const;

 private:
  class RowUi;

  // The ticked rows, each as the batch's port, with its own newest kept copy for a restore.
  std::vector<std::size_t> tickedRows(boot::Operation operation,
                                      std::vector<batch::UnitPort>& ports) const;
  // On the worker thread: runs the batch and ends the run.
  void runBatch(std::vector<std::size_t> units);
  // Under no lock: tells the view that row `index` changed.
  void changed(std::size_t index) const;

  DialogSettings settings_;
  std::ostream& diag_;
  RowChanged rowChanged_;
  RunEnded runEnded_;
  mutable std::mutex mutex_;  // guards rows_, running_, summary_
  std::vector<UnitRow> rows_;
  bool running_ = false;
  std::string summary_;
  boot::Operation operation_ = boot::Operation::Update;
  std::unique_ptr<batch::UnitBatch> batch_;  // the run under way or the last one
  std::vector<std::unique_ptr<RowUi>> uis_;  // one per unit of that run
  std::thread worker_;
};

}  // namespace quillmar::ui
