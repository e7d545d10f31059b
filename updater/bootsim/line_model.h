// LineModel: the time a real serial line takes. Bytes from the host arrive one after the
// other at the line's rate (10 bit times per byte, 8N1); a reply goes out once its command
// has fully arrived, takes the same time per byte, and a USB adapter may then hold it for a
// while before the host sees it. A LineModel with neither rate nor latency takes no time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace quillmar::bootsim {

struct LineTiming {
  uint32_t baud = 0;       // bit/s; 0: bytes take no time on the line
  uint32_t latencyMs = 0;  // how long the adapter holds each reply
  bool active() const { return baud != 0 || latencyMs != 0; }
};

class LineModel {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LineModel(LineTiming timing);

  // A byte the host sent, seen on the simulator's side at `now`: when its last bit arrives.
  Clock::time_point byteArrives(Clock::time_point now);
  // A reply of `bytes` bytes to a command that fully arrived at `ready`: when the host sees
  // it. Replies leave one after the other, never two on the line at once.
  Clock::time_point replySeen(Clock::time_point ready, std::size_t bytes);

  // Time one byte takes on the line.
  Clock::duration byteTime() const { return byteTime_; }

 private:
  Clock::duration byteTime_;
  Clock::duration latency_;
  Clock::time_point receiveFree_{};  // when the last byte from the host has arrived
  Clock::time_point sendFree_{};     // when the last reply byte has left
};

}  // namespace quillmar::bootsim
