// OperationUi: what a running boot-loader operation needs of its user interface. The dialog,
// the command line and the tests each provide one.
#pragma once

#include <string>

namespace quillmar::boot {

class OperationUi {
 public:
  virtual ~OperationUi() = default;
  // Tells the user about a failure; returns once the user has seen it (modal in the dialog).
  virtual void showMessage(const std::string& text) = 0;
  // Starts the progress bar over 0..steps.
  virtual void setProgressRange(int steps) = 0;
  // Moves the progress bar to `step` of the last range.
  virtual void setProgressPosition(int step) = 0;
  // Replaces the one-line status text.
  virtual void setStatus(const std::string& text) = 0;
};

}  // namespace quillmar::boot
