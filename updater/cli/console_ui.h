// ConsoleUi: the command line's OperationUi. Status texts go to standard output, one per
// line; message-box texts to standard error, each of their lines on one; and, when standard
// error is a terminal, a progress bar redrawn in place on it. A command line asks no question:
// what needs a yes is refused, saying which option gives it.
#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

#include "boot/operation_ui.h"
#include "boot/updater_presenter.h"

namespace quillmar::cli {

// One progress-bar line without its line end: "Writing | ####...   | 100%". With
// `elapsedSeconds` (0 or more) the time so far follows, and with `leftSeconds` the estimate
// of the time left: "Writing | ####...   | 42% 1:05, ~1:30 left".
std::string progressLine(const std::string& label, int percent, int elapsedSeconds = -1,
                         int leftSeconds = -1);

// `text` with each control character written as \xNN, so a text that carries bytes from the
// unit (a wrong identifier, a version) still takes exactly one line.
std::string oneLine(const std::string& text);

class ConsoleUi : public boot::OperationUi {
 public:
  using Clock = std::chrono::steady_clock;

  // `now` tells the time for the bar's elapsed and left figures.
  ConsoleUi(std::ostream& out, std::ostream& err, bool progressBar,
            std::function<Clock::time_point()> now = Clock::now);
  // Ends a bar that is still open, so the shell prompt starts on a line of its own.
  ~ConsoleUi() override;
  ConsoleUi(const ConsoleUi&) = delete;
  ConsoleUi& operator=(const ConsoleUi&) = delete;

  // Each line of `text` on a line of its own.
  void showMessage(const std::string& text) override;
  // Only `text`: the diagnostics are on standard error already.
  void showFileMessage(const std::string& text, const std::string& diagnostics) override;
  void setProgressRange(int steps) override;
  void setProgressPosition(int step) override;
  void setStatus(const std::string& text) override;
  // Refuses, on one line of standard error naming both versions and the option that allows
  // the image.
  bool confirmVersion(const boot::VersionPair& versions, boot::GateVerdict verdict) override;
  // Says once per program run when the port's USB adapter holds replies above 2 ms, read
  // after the open has asked the driver for low latency.
  void linkOpened(const std::string& device) override;

  // What the latency note works out the cost for, and whether an update reads the unit
  // before it writes (the steps before the erase), which the bars' labels follow.
  void describeOperation(boot::Operation operation, bool block, bool readsFirst) {
    operation_ = operation;
    block_ = block;
    readsFirst_ = readsFirst;
  }

 private:
  void drawBar();
  void endBar();

  std::ostream& out_;
  std::ostream& err_;
  const bool progressBar_;
  std::string label_ = "Reading";
  int stretch_ = 0;   // bars since the update's or restore's start status
  int writeAt_ = -1;  // the bar of those that writes; -1: none still to come
  bool readsFirst_ = false;
  int range_ = 0;
  int position_ = 0;
  bool moved_ = false;  // a position arrived since the range was set
  boot::Operation operation_ = boot::Operation::Update;
  bool block_ = false;
  bool latencyNoted_ = false;
  std::function<Clock::time_point()> now_;
  Clock::time_point started_;  // when the range was set
  std::string drawn_;          // what the open bar shows; "" when no bar is open
};

}  // namespace quillmar::cli
