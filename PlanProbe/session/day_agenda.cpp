#include "day_agenda.h"

#include <bit>

namespace quillmar::planprobe {

DayAgenda::DayAgenda() {
  first_.fill(kNone);
}

void DayAgenda::reset(size_t events) {
  // Only minutes still marked hold entries: the others were emptied when they were taken.
  for (size_t word = 0; word < kWords; ++word) {
    for (uint64_t bits = busy_[word]; bits != 0; bits &= bits - 1) {
      first_[word * 64 + static_cast<size_t>(std::countr_zero(bits))] = kNone;
    }
    busy_[word] = 0;
  }
  next_.assign(events, kNone);
}

void DayAgenda::add(int32_t minute, uint32_t index) {
  // A minute rarely holds more than a few events: a sorted insert into its short chain.
  int32_t* link = &first_[static_cast<size_t>(minute)];
  while (*link != kNone && static_cast<uint32_t>(*link) < index) {
    link = &next_[static_cast<size_t>(*link)];
  }
  next_[index] = *link;
  *link = static_cast<int32_t>(index);
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

void DayAgenda::take(int32_t minute, std::vector<uint32_t>& out) {
  out.clear();
  int32_t& head = first_[static_cast<size_t>(minute)];
  for (int32_t index = head; index != kNone; index = next_[static_cast<size_t>(index)]) {
    out.push_back(static_cast<uint32_t>(index));
  }
  head = kNone;
  busy_[static_cast<size_t>(minute) / 64] &= ~(uint64_t{1} << (minute % 64));
}

}  // namespace quillmar::planprobe
