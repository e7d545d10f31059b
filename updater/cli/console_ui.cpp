#include "cli/console_ui.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>
#include <utility>

#include "boot/progress_time.h"
#include "boot/serial_ports.h"
#include "boot/transfer_estimate.h"
#include "boot/updater_presenter.h"
#include "cli/latency_note.h"

namespace quillmar::cli {
namespace {

constexpr int kBarWidth = 50;

}  // namespace

std::string progressLine(const std::string& label, int percent, int elapsedSeconds,
                         int leftSeconds) {
  const int clamped = std::clamp(percent, 0, 100);
  const int filled = clamped * kBarWidth / 100;
  std::string line = label + " | " + std::string(filled, '#') +
                     std::string(kBarWidth - filled, ' ') + " | " + std::to_string(clamped) + "%";
  if (elapsedSeconds >= 0)
    line += " " + boot::progressTimeText({clamped, elapsedSeconds, leftSeconds});
  return line;
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

ConsoleUi::ConsoleUi(std::ostream& out, std::ostream& err, bool progressBar,
                     std::function<Clock::time_point()> now)
    : out_(out), err_(err), progressBar_(progressBar), now_(std::move(now)) {}

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
  label_ = stretch_++ == writeAt_ ? "Writing" : "Reading";
  range_ = std::max(steps, 0);
  position_ = 0;
  moved_ = false;
  started_ = now_();
  drawBar();
}

void ConsoleUi::setProgressPosition(int step) {
  position_ = step;
  moved_ = true;
  drawBar();
}

void ConsoleUi::linkOpened(const std::string& device) {
  if (latencyNoted_)
    return;
  latencyNoted_ = true;
  const std::optional<int> latency = boot::adapterLatencyMs(device);
  if (latency && *latency > boot::kQuietLatencyMs) {
    endBar();
    err_ << latencyNote(device, *latency, operation_, block_, boot::adapterLatencySetting(device))
         << std::flush;
  }
}

void ConsoleUi::setStatus(const std::string& text) {
  endBar();
  out_ << oneLine(text) << '\n' << std::flush;
  // Update and Restore write after the read of the steps before the erase, if any, and read
  // back after "Verifying Data..."; the other operations only read.
  if (text == boot::kProgrammingStatus || text == boot::kRestoringStatus) {
    stretch_ = 0;
    writeAt_ = readsFirst_ ? 1 : 0;
  } else if (text == "Verifying Data...") {
    writeAt_ = -1;
  }
}

bool ConsoleUi::confirmVersion(const boot::VersionPair& versions, boot::GateVerdict verdict) {
  const std::string pair = "(unit " + versions.unit.value_or(boot::kNoVersion) + ", image " +
                           versions.image.value_or(boot::kNoVersion) + ")";
  endBar();
  // One line even when a version holds a line end: it comes from the unit or the file.
  err_ << oneLine(verdict == boot::GateVerdict::NeedsOlderYes
                      ? "the image is older than the unit's firmware " + pair +
                            ": nothing was changed; --allow-older programs it anyway"
                      : "the image has the version of the unit's firmware " + pair +
                            ": nothing was changed; --allow-reinstall programs it again")
       << '\n'
       << std::flush;
  return false;
}

// Redraws the bar in place when its text changed.
void ConsoleUi::drawBar() {
  if (!progressBar_)
    return;
  const boot::ProgressTime time = boot::progressTime(range_, position_, moved_, now_() - started_);
  const std::string line =
      progressLine(label_, time.percent, time.elapsedSeconds, time.leftSeconds);
  if (line == drawn_)
    return;
  // A shorter line (the estimate gone at the end) must not leave the old one's tail behind.
  const std::size_t tail = drawn_.size() > line.size() ? drawn_.size() - line.size() : 0;
  drawn_ = line;
  err_ << '\r' << line << std::string(tail, ' ') << std::flush;
}

void ConsoleUi::endBar() {
  if (drawn_.empty())
    return;
  drawn_.clear();
  err_ << '\n' << std::flush;
}

}  // namespace quillmar::cli
