#include "session/console.h"

#include <cstdarg>
#include <cstring>
#include <ostream>
#include <string>

#include "log/fast_format.h"

namespace quillmar::planprobe {

void consolePrint(std::ostream& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text;
  appendPrintf(text, format, args);
  va_end(args);
  out << text;
}

void Console::write(std::string_view text) {
  if (text.starts_with('\n')) {
    progressShowing_ = false;  // the message ends the progress line itself
  }
  endProgressLine();
  out_ << text;
}

void Console::print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text;
  appendPrintf(text, format, args);
  va_end(args);
  write(text);
}

void Console::showProgress(int percent) {
  if (progressHidden_) {
    return;
  }
  consolePrint(out_, "\r%02i%% complete ", percent);
  out_.flush();
  progressShowing_ = true;
}

void Console::endProgressLine() {
  if (progressShowing_) {
    out_ << '\n';
    out_.flush();
    progressShowing_ = false;
  }
}

void Console::flush() {
  out_.flush();
}

void printReason(Console& console, int error) {
  console.print("Reason: %s\n", std::strerror(error));
}

}  // namespace quillmar::planprobe
