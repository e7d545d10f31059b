#include "cli/console_ui.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>
#include <utility>

#include "boot/updater_presenter.h"
#include "cli/latency_note.h"
#include "link/adapter_latency.h"

namespace quillmar::cli {
namespace {

constexpr int kBarWidth = 50;

// Minutes and seconds, "1:05"; the minutes grow past 59 rather than adding hours.
std::string minutesAndSeconds(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
  return text;
}

}  // namespace

std::string progressLine(const std::string& label, int percent, int elapsedSeconds,
                         int leftSeconds) {
  const int clamped = std::clamp(percent, 0, 100);
  const int filled = clamped * kBarWidth / 100;
  std::string line = label + " | " + std::string(filled, '#') +
                     std::string(kBarWidth - filled, ' ') + " | " + std::to_string(clamped) + "%";
  if (elapsedSeconds >= 0)
    line += " " + minutesAndSeconds(elapsedSeconds);
  if (elapsedSeconds >= 0 && leftSeconds >= 0)
    line += ", ~" + minutesAndSeconds(leftSeconds) + " left";
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
  const std::optional<int> latency = link::adapterLatencyMs(device);
  if (latency && *latency > kQuietLatencyMs) {
    endBar();
    err_ << latencyNote(device, *latency, operation_, block_, link::adapterLatencySetting(device))
         << std::flush;
  }
}

void ConsoleUi::setStatus(const std::string& text) {
  endBar();
  out_ << oneLine(text) << '\n' << std::flush;
  // Update writes first and reads back after "Verifying Data..."; Read only reads.
  label_ = text == boot::kProgrammingStatus ? "Writing" : "Reading";
}

// Redraws the bar in place when its text changed. An empty range (an image shorter than one
// page) is complete as soon as any position arrives. The time left is the time so far
// spread over the steps still to go; it is shown once a step is done and until the last.
void ConsoleUi::drawBar() {
  if (!progressBar_)
    return;
  const int done = range_ > 0 ? std::clamp(position_, 0, range_) : (moved_ ? 1 : 0);
  const int steps = std::max(range_, 1);
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now_() - started_);
  const long long seconds = std::max<long long>(elapsed.count(), 0);
  const int left =
      done > 0 && done < steps ? static_cast<int>(seconds * (steps - done) / done) : -1;
  const std::string line =
      progressLine(label_, done * 100 / steps, static_cast<int>(seconds), left);
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
