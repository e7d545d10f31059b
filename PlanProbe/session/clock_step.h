// Moving the simulated clock on by one pass of the minute loop.
#pragma once

#include "rules/sim_clock.h"

namespace quillmar::planprobe {

// Steps `clock` by one minute, or to the start of the next hour (`hourStep`), rolling over
// hours, days, months and years as the unit's clock does: a minute or hour out of range rolls
// over to 0, and a month outside 1..12 ends after day 31 and then turns into January.
void AdvanceClock(SimClock& clock, bool hourStep);

}  // namespace quillmar::planprobe
