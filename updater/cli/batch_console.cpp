#include "cli/batch_console.h"

#include <algorithm>
#include <utility>

#include "batch/unit_batch.h"

namespace quillmar::cli {
namespace {

constexpr int kRowBarWidth = 20;
// Redraws of the progress lines come at most this often.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// `text` cut to at most `width` bytes without splitting a UTF-8 character.
std::string cutTo(const std::string& text, std::size_t width) {
  if (text.size() <= width)
    return text;
  std::size_t end = width;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return text.substr(0, end);
}

}  // namespace

std::string unitProgressLine(const std::string& label, std::size_t labelWidth, int percent,
                             const std::string& status, std::size_t width) {
  const int clamped = std::clamp(percent, 0, 100);
  const int filled = clamped * kRowBarWidth / 100;
  const std::string shownPercent = std::to_string(clamped);
  std::string line =
      label + std::string(labelWidth > label.size() ? labelWidth - label.size() : 0, ' ') + "  [" +
      std::string(filled, '#') + std::string(kRowBarWidth - filled, ' ') + "] " +
      std::string(3 - shownPercent.size(), ' ') + shownPercent + "%  " + status;
  return cutTo(line, width);
}

BatchConsole::BatchConsole(std::ostream& out, std::ostream& err, std::vector<std::string> labels,
                           bool progressLines, std::function<Clock::time_point()> now)
    : out_(out), err_(err), progressLines_(progressLines), now_(std::move(now)) {
  for (std::string& label : labels) {
    labelWidth_ = std::max(labelWidth_, label.size());
    rows_.push_back({std::move(label), 0, 0, ""});
  }
}

void BatchConsole::write(std::ostream& stream, const std::string& lines) {
  const std::lock_guard<std::mutex> lock(mutex_);
  erase();
  stream << lines << std::flush;
  draw(true);
}

void BatchConsole::setRange(std::size_t unit, int steps) {
  const std::lock_guard<std::mutex> lock(mutex_);
  rows_[unit].range = std::max(steps, 0);
  rows_[unit].position = 0;
  draw(false);
}

void BatchConsole::setPosition(std::size_t unit, int step) {
  const std::lock_guard<std::mutex> lock(mutex_);
  rows_[unit].position = step;
  draw(false);
}

void BatchConsole::setStatus(std::size_t unit, const std::string& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  rows_[unit].status = text;
  draw(false);
}

void BatchConsole::finish() {
  const std::lock_guard<std::mutex> lock(mutex_);
  draw(true);
  finished_ = true;
}

// Draws the progress lines over the ones drawn before, or below the last line written; `now`
// draws even when the last drawing is recent. The lock is held.
void BatchConsole::draw(bool now) {
  if (!progressLines_ || finished_)
    return;
  const Clock::time_point time = now_();
  if (!now && drawn_ && time - lastDraw_ < kRedrawInterval)
    return;
  lastDraw_ = time;
  std::string text;
  if (drawn_)
    text = "\x1b[" + std::to_string(rows_.size()) + "A";
  for (const Row& row : rows_) {
    const int percent = row.range > 0 ? row.position * 100 / row.range : 0;
    text += "\r" + unitProgressLine(row.label, labelWidth_, percent, row.status) + "\x1b[K\n";
  }
  err_ << text << std::flush;
  drawn_ = true;
}

// Takes the progress lines away, leaving the cursor where the first of them began, so that the
// next line written takes their place. The lock is held.
void BatchConsole::erase() {
  if (!drawn_ || finished_)
    return;
  err_ << "\x1b[" << rows_.size() << "A\r\x1b[J" << std::flush;
  drawn_ = false;
}

PrefixedLines::PrefixedLines(BatchConsole& console, std::ostream& target, std::string prefix)
    : console_(console), target_(target), prefix_(std::move(prefix)) {}

PrefixedLines::~PrefixedLines() {
  if (!pending_.empty()) {
    pending_ += '\n';
    sync();
  }
}

PrefixedLines::int_type PrefixedLines::overflow(int_type c) {
  if (!traits_type::eq_int_type(c, traits_type::eof()))
    pending_.push_back(traits_type::to_char_type(c));
  return traits_type::not_eof(c);
}

std::streamsize PrefixedLines::xsputn(const char* text, std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  return count;
}

// Hands on the whole lines collected so far, in one piece.
int PrefixedLines::sync() {
  const std::size_t end = pending_.rfind('\n');
  if (end == std::string::npos)
    return 0;
  const std::string lines = batch::prefixedLines(pending_.substr(0, end + 1), prefix_);
  pending_.erase(0, end + 1);
  console_.write(target_, lines);
  return 0;
}

UnitConsole::UnitConsole(BatchConsole& console, std::size_t unit, const std::string& label,
                         bool statusToErr)
    : console_(console),
      unit_(unit),
      outLines_(console, statusToErr ? console.err() : console.out(), label + ": "),
      errLines_(console, console.err(), label + ": "),
      out_(&outLines_),
      err_(&errLines_),
      ui_(out_, err_, false) {}

void UnitConsole::setStatus(const std::string& text) {
  console_.setStatus(unit_, oneLine(text));  // the progress line drawn under the status has it
  ui_.setStatus(text);
}

}  // namespace quillmar::cli
