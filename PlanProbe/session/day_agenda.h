// The agenda of one simulated day: which loaded events to look at in which minute of the day,
// so that the minute loop can go straight from one minute that can write something to the next.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillmar::planprobe {

class DayAgenda {
 public:
  static constexpr int32_t kMinutesPerDay = 1440;

  DayAgenda();

  // Empties the agenda for a list of `events` events.
  void reset(size_t events);
  // Puts event `index` (below the count given to reset, and not on the agenda) down for
  // `minute` (0 .. 1439 of the day).
  void add(int32_t minute, uint32_t index);
  // The first minute at or after `from` with an event on the agenda; kMinutesPerDay for none.
  int32_t nextMinute(int32_t from) const;
  // Takes the events of `minute` off the agenda into `out` (emptied first), in index order.
  void take(int32_t minute, std::vector<uint32_t>& out);

 private:
  static constexpr size_t kWords = (kMinutesPerDay + 63) / 64;
  static constexpr int32_t kNone = -1;

  std::array<uint64_t, kWords> busy_{};        // a bit per minute with events
  std::array<int32_t, kMinutesPerDay> first_;  // per minute, its lowest index; kNone for none
  std::vector<int32_t> next_;                  // per index, the next index of its minute
};

}  // namespace quillmar::planprobe
