// OperationClock: the line under the dialog's progress bar that tells the time an Update or
// Read has taken so far and how long it still needs, from the progress steps as they arrive.
// Shared by both dialogs and free of any toolkit; the dialog calls it on its own thread and
// shows line() whenever it changes (also once a second, as the time goes on between steps).
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "boot/update_safety.h"
#include "boot/updater_presenter.h"

namespace quillmar::ui {

class OperationClock {
 public:
  using Clock = std::chrono::steady_clock;

  // An operation starts, in block transfers or not, with the steps of `safety` before an
  // update's erase: the line is empty until its progress does.
  void start(boot::Operation operation, bool block, const boot::UpdateSafety& safety,
             Clock::time_point now);
  // The progress bar starts over 0..steps: the next stretch of the operation.
  void setRange(int steps, Clock::time_point now);
  void setPosition(int step);
  // The operation has ended: the line keeps the whole time it took.
  void finish(Clock::time_point now);

  // "Time 1:05, about 2:10 left", "Took 3:15", or "" for an operation without progress.
  std::string line(Clock::time_point now) const;

 private:
  Clock::time_point started_;
  Clock::time_point stretchStarted_;
  Clock::time_point finished_;
  std::vector<double> stretches_;  // the operation's stretches by their estimated lengths
  std::size_t current_ = 0;        // the stretch under way, once ranged_
  int range_ = 0;
  int position_ = 0;
  bool moved_ = false;
  bool ranged_ = false;  // a range has come: there is progress to time
  bool running_ = false;
};

}  // namespace quillmar::ui
