#include "session/day_agenda.h"

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

}  // namespace quillmar::planprobe
