// The agenda of one simulated day: which loaded events to look at in which minute of the day,
// so that the minute loop can go straight from one minute that can write something to the next.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "calendar/calendar.h"

namespace quillmar::planprobe {

class DayAgenda {
 public:
  static constexpr int32_t kNone = -1;

  // One event put down for one minute.
  struct Entry {
    uint32_t index;  // the event's place in the list
    int32_t next;    // the minute's next entry, kNone after the last
  };

  DayAgenda();

  // Empties the agenda.
  void reset();

  // The rest is inline: the minute loop calls it for every minute that writes.
  // Puts event `index` down for `minute` (0 .. 1439 of the day) ahead of the minute's other
  // entries: a day is planned from the last event of the list to the first, so that each
  // minute's entries come in list order.
  void addFirst(int32_t minute, uint32_t index) {
    int32_t& head = first_[static_cast<size_t>(minute)];
    entries_.push_back({index, head});
    head = static_cast<int32_t>(entries_.size() - 1);
    busy_[static_cast<size_t>(minute) / 64] |= uint64_t{1} << (minute % 64);
  }
  // The first minute at or after `from` with an event on the agenda; kMinutesPerDay for none.
  int32_t nextMinute(int32_t from) const {
    if (from >= kMinutesPerDay) {
      return kMinutesPerDay;
    }
    size_t word = static_cast<size_t>(from) / 64;
    uint64_t bits = busy_[word] & (~uint64_t{0} << (from % 64));
    while (bits == 0) {
      if (++word == kWords) {
        return kMinutesPerDay;
      }
      bits = busy_[word];
    }
    return static_cast<int32_t>(word * 64 + static_cast<size_t>(std::countr_zero(bits)));
  }
  // Takes the entries of `minute` off the agenda: the first of them, or kNone. They stay
  // readable through `entry` until the next reset.
  int32_t take(int32_t minute) {
    int32_t& head = first_[static_cast<size_t>(minute)];
    const int32_t taken = head;
    head = kNone;
    busy_[static_cast<size_t>(minute) / 64] &= ~(uint64_t{1} << (minute % 64));
    return taken;
  }
  const Entry& entry(int32_t at) const { return entries_[static_cast<size_t>(at)]; }

 private:
  static constexpr size_t kWords = (kMinutesPerDay + 63) / 64;

  std::array<uint64_t, kWords> busy_{};        // a bit per minute with entries
  std::array<int32_t, kMinutesPerDay> first_;  // per minute, its first entry; kNone for none
  std::vector<Entry> entries_;
};

}  // namespace quillmar::planprobe
