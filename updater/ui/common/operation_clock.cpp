// Timing an operation's progress for the dialog.
#include "ui/common/operation_clock.h"

#include "boot/progress_time.h"
#include "boot/transfer_estimate.h"

namespace quillmar::ui {
namespace {

int secondsBetween(OperationClock::Clock::time_point from, OperationClock::Clock::time_point to) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(to - from).count());
}

}  // namespace

// Update writes, then reads back: while it writes, the read-back still to come is reckoned
// from the written part by their sizes on the wire (about half as long byte by byte, as long
// in blocks).
void OperationClock::start(boot::Operation operation, bool block, Clock::time_point now) {
  started_ = now;
  running_ = true;
  ranged_ = false;
  stretchesLeft_ = operation == boot::Operation::Update ? 2 : 1;
  const double readBack = static_cast<double>(boot::estimatedMs(boot::Operation::Read, block, 0));
  const double write = static_cast<double>(boot::estimatedMs(operation, block, 0)) - readBack;
  followingShare_ = write > 0 ? readBack / write : 0;
}

void OperationClock::setRange(int steps, Clock::time_point now) {
  stretchStarted_ = now;
  range_ = steps;
  position_ = 0;
  moved_ = false;
  ranged_ = true;
  if (stretchesLeft_ > 0)
    --stretchesLeft_;
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
  double left = stretch.leftSeconds;
  if (stretchesLeft_ > 0)
    left += (stretch.elapsedSeconds + stretch.leftSeconds) * followingShare_;
  return text + ", about " + boot::minutesAndSeconds(static_cast<int>(left + 0.5)) + " left";
}

}  // namespace quillmar::ui
