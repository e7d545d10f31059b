#include "updater/cli/console_ui.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "updater/boot/updater_presenter.h"

namespace quillmar::cli {
namespace {

constexpr int kBarWidth = 50;

}  // namespace

std::string progressLine(const std::string& label, int percent) {
  const int clamped = std::clamp(percent, 0, 100);
  const int filled = clamped * kBarWidth / 100;
  return label + " | " + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + " | " +
         std::to_string(clamped) + "%";
}

std::string oneLine(const std::string& text) {
  std::string line;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      line += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    line += escaped;
  }
  return line;
}

ConsoleUi::ConsoleUi(std::ostream& out, std::ostream& err, bool progressBar)
    : out_(out), err_(err), progressBar_(progressBar) {}

ConsoleUi::~ConsoleUi() {
  endBar();
}

void ConsoleUi::showMessage(const std::string& text) {
  endBar();
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    err_ << oneLine(text.substr(start, end - start)) << '\n';
  err_ << oneLine(text.substr(start)) << '\n' << std::flush;
}

void ConsoleUi::showFileMessage(const std::string& text, const std::string&) {
  showMessage(text);
}

void ConsoleUi::setProgressRange(int steps) {
  endBar();
  range_ = std::max(steps, 0);
  position_ = 0;
  moved_ = false;
  drawBar();
}

void ConsoleUi::setProgressPosition(int step) {
  position_ = step;
  moved_ = true;
  drawBar();
}

void ConsoleUi::setStatus(const std::string& text) {
  endBar();
  out_ << oneLine(text) << '\n' << std::flush;
  // Update writes first and reads back after "Verifying Data..."; Read only reads.
  label_ = text == boot::kProgrammingStatus ? "Writing" : "Reading";
}

// Redraws the bar in place when its percentage changed. An empty range (an image shorter
// than one page) is complete as soon as any position arrives.
void ConsoleUi::drawBar() {
  if (!progressBar_)
    return;
  const int percent =
      range_ > 0 ? std::clamp(position_, 0, range_) * 100 / range_ : (moved_ ? 100 : 0);
  if (percent == drawnPercent_)
    return;
  drawnPercent_ = percent;
  err_ << '\r' << progressLine(label_, percent) << std::flush;
}

void ConsoleUi::endBar() {
  if (drawnPercent_ < 0)
    return;
  drawnPercent_ = -1;
  err_ << '\n' << std::flush;
}

}  // namespace quillmar::cli
