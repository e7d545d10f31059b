#include "boot/progress_time.h"

#include <algorithm>
#include <cstdio>

namespace quillmar::boot {

ProgressTime progressTime(int range, int position, bool moved,
                          std::chrono::steady_clock::duration elapsed) {
  const int done = range > 0 ? std::clamp(position, 0, range) : (moved ? 1 : 0);
  const int steps = std::max(range, 1);
  const long long seconds =
      std::max<long long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 0);
  ProgressTime time;
  time.percent = done * 100 / steps;
  time.elapsedSeconds = static_cast<int>(seconds);
  if (done > 0 && done < steps)
    time.leftSeconds = static_cast<int>(seconds * (steps - done) / done);
  return time;
}

std::string minutesAndSeconds(int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
  return text;
}

std::string progressTimeText(const ProgressTime& time) {
  std::string text = minutesAndSeconds(time.elapsedSeconds);
  if (time.leftSeconds >= 0)
    text += ", ~" + minutesAndSeconds(time.leftSeconds) + " left";
  return text;
}

}  // namespace quillmar::boot
