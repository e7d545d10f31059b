// LineModel: arrival and delivery times on a modelled serial line.
#include "bootsim/line_model.h"

#include <algorithm>

namespace quillmar::bootsim {

namespace {

constexpr int64_t kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

}  // namespace

LineModel::LineModel(LineTiming timing)
    : byteTime_(timing.baud == 0
                    ? Clock::duration::zero()
                    : std::chrono::duration_cast<Clock::duration>(
                          std::chrono::nanoseconds(kBitsPerByte * 1'000'000'000 / timing.baud))),
      latency_(std::chrono::milliseconds(timing.latencyMs)) {}

LineModel::Clock::time_point LineModel::byteArrives(Clock::time_point now) {
  receiveFree_ = std::max(now, receiveFree_) + byteTime_;
  return receiveFree_;
}

LineModel::Clock::time_point LineModel::replySeen(Clock::time_point ready, std::size_t bytes) {
  sendFree_ = std::max(ready, sendFree_) + static_cast<int64_t>(bytes) * byteTime_;
  return sendFree_ + latency_;
}

}  // namespace quillmar::bootsim
