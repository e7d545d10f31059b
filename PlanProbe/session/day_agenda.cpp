#include "day_agenda.h"

#include <bit>

namespace quillmar::planprobe {

DayAgenda::DayAgenda() {
  first_.fill(kNone);
}

void DayAgenda::reset() {
  // Only minutes still marked hold entries: the others were emptied when they were taken.
  for (size_t word = 0; word < kWords; ++word) {
    for (uint64_t bits = busy_[word]; bits != 0; bits &= bits - 1) {
      first_[word * 64 + static_cast<size_t>(std::countr_zero(bits))] = kNone;
    }
    busy_[word] = 0;
  }
  entries_.clear();
}

void DayAgenda::addFirst(int32_t minute, uint32_t index) {
  int32_t& head = first_[static_cast<size_t>(minute)];
  entries_.push_back({index, head});
  head = static_cast<int32_t>(entries_.size() - 1);
  busy_[static_cast<size_t>(minute) / 64] |= uint64_t{1} << (minute % 64);
}

int32_t DayAgenda::nextMinute(int32_t from) const {
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

int32_t DayAgenda::take(int32_t minute) {
  int32_t& head = first_[static_cast<size_t>(minute)];
  const int32_t taken = head;
  head = kNone;
  busy_[static_cast<size_t>(minute) / 64] &= ~(uint64_t{1} << (minute % 64));
  return taken;
}

}  // namespace quillmar::planprobe
