// BatchConsole: the command line's console while several units run at once. Every unit writes
// whole lines, each prefixed with its port's name, and they reach standard output and error in
// one piece each, under one lock, so a log stays readable. On a terminal, standard error also
// shows one progress line per unit below everything else, redrawn in place with ANSI cursor
// moves at most ten times a second. UnitConsole is one unit's OperationUi: a ConsoleUi whose
// lines go through the BatchConsole, plus that unit's progress line.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "boot/operation_ui.h"
#include "cli/console_ui.h"

namespace quillmar::cli {

// One unit's progress line without its line end, cut to `width` characters:
// "ttyUSB0  [#######             ]  35%  Verifying Data...". `label` is padded to `labelWidth`.
std::string unitProgressLine(const std::string& label, std::size_t labelWidth, int percent,
                             const std::string& status, std::size_t width = 79);

class BatchConsole {
 public:
  using Clock = std::chrono::steady_clock;

  // `labels` name the units' progress lines, drawn on `err` when `progressLines`.
  BatchConsole(std::ostream& out, std::ostream& err, std::vector<std::string> labels,
               bool progressLines, std::function<Clock::time_point()> now = Clock::now);

  // Writes `lines`, whole lines, to `stream` (this console's out or err) in one piece, with the
  // progress lines moved below them.
  void write(std::ostream& stream, const std::string& lines);
  // Unit `unit`'s progress bar range, position and status text, as its progress line shows them.
  void setRange(std::size_t unit, int steps);
  void setPosition(std::size_t unit, int step);
  void setStatus(std::size_t unit, const std::string& text);
  // Draws the progress lines as the units ended; from now on they stay as they are.
  void finish();

  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }

 private:
  struct Row {
    std::string label;
    int range = 0;
    int position = 0;
    std::string status;
  };

  void draw(bool now);
  void erase();

  std::mutex mutex_;
  std::ostream& out_;
  std::ostream& err_;
  std::vector<Row> rows_;
  std::size_t labelWidth_ = 0;
  const bool progressLines_;
  bool drawn_ = false;     // the progress lines stand below the last line written
  bool finished_ = false;  // finish() has drawn them for the last time
  std::function<Clock::time_point()> now_;
  Clock::time_point lastDraw_{};
};

// A stream buffer that hands what is written to it to a BatchConsole at each flush, as whole
// lines each prefixed with `prefix`; the start of a line waits for its end.
class PrefixedLines final : public std::streambuf {
 public:
  PrefixedLines(BatchConsole& console, std::ostream& target, std::string prefix);
  ~PrefixedLines() override;
  PrefixedLines(const PrefixedLines&) = delete;
  PrefixedLines& operator=(const PrefixedLines&) = delete;

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int sync() override;

 private:
  BatchConsole& console_;
  std::ostream& target_;
  std::string prefix_;
  std::string pending_;
};

class UnitConsole : public boot::OperationUi {
 public:
  // Unit `unit` of `console`, named `label`; its status lines go to the console's out, or with
  // `statusToErr` (--json) to its err.
  UnitConsole(BatchConsole& console, std::size_t unit, const std::string& label, bool statusToErr);
  UnitConsole(const UnitConsole&) = delete;
  UnitConsole& operator=(const UnitConsole&) = delete;

  void showMessage(const std::string& text) override { ui_.showMessage(text); }
  void showFileMessage(const std::string& text, const std::string& diagnostics) override {
    ui_.showFileMessage(text, diagnostics);
  }
  void setProgressRange(int steps) override { console_.setRange(unit_, steps); }
  void setProgressPosition(int step) override { console_.setPosition(unit_, step); }
  void setStatus(const std::string& text) override;
  bool confirmVersion(const boot::VersionPair& versions, boot::GateVerdict verdict) override {
    return ui_.confirmVersion(versions, verdict);
  }
  void linkOpened(const std::string& device) override { ui_.linkOpened(device); }

  ConsoleUi& consoleUi() { return ui_; }

 private:
  BatchConsole& console_;
  std::size_t unit_;
  PrefixedLines outLines_;
  PrefixedLines errLines_;
  std::ostream out_;
  std::ostream err_;
  ConsoleUi ui_;
};

}  // namespace quillmar::cli
