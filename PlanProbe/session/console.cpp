#include "session/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

namespace quillmar::planprobe {

namespace {

// The formatted text of `format` over `args`.
std::string formatText(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<size_t>(length));
  }
  va_end(again);
  return text;
}

}  // namespace

void consolePrint(std::ostream& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = formatText(format, args);
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
  const std::string text = formatText(format, args);
  va_end(args);
  write(text);
}

void Console::showProgress(int percent) {
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
