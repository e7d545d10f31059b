// Timing an operation's progress for the dialog.
#include "ui/common/operation_clock.h"

#include "boot/progress_time.h"
#include "boot/transfer_estimate.h"

namespace quillmar::ui {
namespace {

int secondsBetween(OperationClock::Clock::time_point from, OperationClock::Clock::time_point to) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(to - from).count());
}

// The stretches of `operation` by their estimated lengths on the wire. Update and Restore write,
// then read back; before that, unless legacy, they read the whole region for the copy, or only
// the versions' stretch of it (as long as Version's read) without one, in blocks whenever the
// boot loader offers them, as loaders of its command set do. The write and the read-back are
// reckoned for an image as long as the region: while the copy is read, the image's own length is
// not known yet.
std::vector<double> stretchesOf(boot::Operation operation, bool block,
                                const boot::UpdateSafety& safety) {
  const auto ms = [](boot::Operation of, bool inBlocks) {
    return static_cast<double>(boot::estimatedMs(of, inBlocks, 0));
  };
  const double read = ms(boot::Operation::Read, block);
  if (operation != boot::Operation::Update && operation != boot::Operation::Restore)
    return {read};
  const double write = ms(boot::Operation::Update, block) - read;
  if (safety.legacy)
    return {write, read};
  const double before =
      ms(safety.keepCopy ? boot::Operation::Read : boot::Operation::Version, true);
  return {before, write, read};
}

}  // namespace

void OperationClock::start(boot::Operation operation, bool block, const boot::UpdateSafety& safety,
                           Clock::time_point now) {
  started_ = now;
  running_ = true;
  ranged_ = false;
  stretches_ = stretchesOf(operation, block, safety);
  current_ = 0;
}

void OperationClock::setRange(int steps, Clock::time_point now) {
  stretchStarted_ = now;
  range_ = steps;
  position_ = 0;
  moved_ = false;
  if (ranged_ && current_ + 1 < stretches_.size())
    ++current_;
  ranged_ = true;
}

void OperationClock::setPosition(int step) {
  position_ = step;
  moved_ = true;
}

void OperationClock::finish(Clock::time_point now) {
  finished_ = now;
  running_ = false;
}

std::string OperationClock::line(Clock::time_point now) const {
  if (!ranged_)
    return "";
  if (!running_)
    return "Took " + boot::minutesAndSeconds(secondsBetween(started_, finished_));
  const boot::ProgressTime stretch =
      boot::progressTime(range_, position_, moved_, now - stretchStarted_);
  std::string text = "Time " + boot::minutesAndSeconds(secondsBetween(started_, now));
  if (stretch.leftSeconds < 0)
    return text;
  // The stretches to come, scaled by how long this one takes against its estimate.
  double following = 0;
  for (std::size_t i = current_ + 1; i < stretches_.size(); ++i)
    following += stretches_[i];
  double left = stretch.leftSeconds;
  if (stretches_[current_] > 0)
    left += (stretch.elapsedSeconds + stretch.leftSeconds) * following / stretches_[current_];
  return text + ", about " + boot::minutesAndSeconds(static_cast<int>(left + 0.5)) + " left";
}

}  // namespace quillmar::ui
