// What the updater benchmarks share: an operation UI that shows its messages only, so that no
// drawing enters their figures, and the clock they time with.
#pragma once

#include <chrono>
#include <iostream>
#include <string>

#include "boot/operation_ui.h"

namespace quillmar::bench {

class SilentUi : public boot::OperationUi {
 public:
  void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
  void setProgressRange(int) override {}
  void setProgressPosition(int) override {}
  void setStatus(const std::string&) override {}
};

// Seconds since `start` on the steady clock.
inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace quillmar::bench
