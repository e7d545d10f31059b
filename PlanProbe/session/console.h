// printf-style output to a console stream, and the console of one run: its messages and the
// progress line, which a later message never runs into.
#pragma once

#include <iosfwd>
#include <string_view>

namespace quillmar::planprobe {

// Writes the formatted text to `out`.
void consolePrint(std::ostream& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

class Console {
 public:
  explicit Console(std::ostream& out) : out_(out) {}

  // The stream itself, for output before any progress can show (the command line).
  std::ostream& stream() { return out_; }

  // Writes a message, on a line of its own when the progress line is showing.
  void write(std::string_view text);
  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Shows `percent` on the progress line and pushes it to the screen at once, so a person
  // watches it count; it changes at most a hundred times a run, so the pushes cost nothing.
  void showProgress(int percent);
  // Ends the progress line with a line end when it is showing; nothing otherwise.
  void endProgressLine();
  // Shows no progress line from now on: the console carries other lines as the run goes.
  void hideProgress() { progressHidden_ = true; }

  void flush();

 private:
  std::ostream& out_;
  bool progressShowing_ = false;
  bool progressHidden_ = false;
};

// The system's reason for the failure `error` (an errno value), on a console line of its own.
void printReason(Console& console, int error);

}  // namespace quillmar::planprobe
