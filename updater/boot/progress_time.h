// The time an operation's progress has taken so far and an estimate of the time it still
// needs, worked out alike for the command line's bar and the dialogs.
#pragma once

#include <chrono>
#include <string>

namespace quillmar::boot {

struct ProgressTime {
  int percent = 0;         // of the range done, 0..100
  int elapsedSeconds = 0;  // since the range was set
  int leftSeconds = -1;    // estimate of the rest; -1 before the first step and after the last
};

// Where a progress bar over 0..`range` at `position` stands `elapsed` after its range was
// set. An empty range (an image shorter than one page) is complete once any position has
// arrived (`moved`). The time left is the time so far spread over the steps still to go.
ProgressTime progressTime(int range, int position, bool moved,
                          std::chrono::steady_clock::duration elapsed);

// Minutes and seconds, "1:05"; the minutes grow past 59 rather than adding hours.
std::string minutesAndSeconds(int seconds);

// The time as shown beside the progress: "1:05, ~1:30 left", or "1:05" without an estimate.
std::string progressTimeText(const ProgressTime& time);

}  // namespace quillmar::boot
