// OperationUi: what a running boot-loader operation needs of its user interface. The dialog,
// the command line and the tests each provide one.
#pragma once

#include <string>

#include "boot/firmware_version.h"
#include "boot/update_safety.h"

namespace quillmar::boot {

class OperationUi {
 public:
  virtual ~OperationUi() = default;
  // Tells the user about a failure; returns once the user has seen it (modal in the dialog).
  // A text of several lines is one message.
  virtual void showMessage(const std::string& text) = 0;
  // Tells the user that an image file could not be read or written: `text`, followed by
  // `diagnostics`, the image files' own explanation, which has already gone to the diagnostic
  // stream. A user interface that shows that stream anyway shows only `text`.
  virtual void showFileMessage(const std::string& text, const std::string& diagnostics) {
    const std::size_t end = diagnostics.find_last_not_of('\n');
    showMessage(end == std::string::npos ? text : text + "\n" + diagnostics.substr(0, end + 1));
  }
  // Starts the progress bar over 0..steps.
  virtual void setProgressRange(int steps) = 0;
  // Moves the progress bar to `step` of the last range.
  virtual void setProgressPosition(int step) = 0;
  // Replaces the one-line status text.
  virtual void setStatus(const std::string& text) = 0;
  // The update found an image older than the unit's firmware, or of its version (`verdict`):
  // true to program it anyway. Asked before anything is erased; without an answer it is no.
  virtual bool confirmVersion(const VersionPair& versions, GateVerdict verdict) {
    (void)versions;
    (void)verdict;
    return false;
  }
  // The operation has opened the port on `device`, before any byte goes out.
  virtual void linkOpened(const std::string& device) { (void)device; }
};

}  // namespace quillmar::boot
