#include "rules/event_timing.h"

#include "calendar/calendar.h"
#include "rules/event_rules.h"

namespace quillmar::planprobe {

namespace {

// A calendar value; its failure, if any, is reported with `context` in front.
inline int32_t reported(RuleReports& reports, CalendarMinutes value, const char* context) {
  if (value.status != CalendarStatus::Ok) {
    reports.report(statusCode(value.status), context);
  }
  return value.minutes;
}

inline int32_t clockMinutes(TimingContext& ctx, const char* context) {
  return reported(ctx.reports, ctx.clock.ClockMinutesSince2000(), context);
}

inline int32_t startMinutes(TimingContext& ctx, const ScheduleEvent& e, const char* context) {
  return reported(ctx.reports, startOf(e), context);
}

inline int32_t endMinutes(TimingContext& ctx, const ScheduleEvent& e, const char* context) {
  return reported(ctx.reports, endOf(e), context);
}

inline int32_t repeatPhase(TimingContext& ctx, const ScheduleEvent& e, int32_t start, int32_t now,
                           const char* context) {
  return reported(ctx.reports, RepeatPhase(e.period, e.repeat, start, now), context);
}

// Whether the set admits the month: "S:Month" admits every month.
bool setAdmitsMonth(const ScheduleEvent& e, int monthCode) {
  return e.set == SET_MONTH || e.set == monthCode;
}

bool atStartTimeOfDay(const ScheduleEvent& e, const SimClock& c) {
  return e.startHour == c.ClockHour() && e.startMinute == c.ClockMinute();
}

bool isBootEvent(const ScheduleEvent& e) {
  return (e.flags & BOOT_START) != 0 || e.period == PERIOD_BOOT;
}

// The day test of the repeating periods, after the class has been settled.
ResultCode gridLoadsToday(TimingContext& ctx, const ScheduleEvent& e, int32_t start, int32_t now,
                          const char* context) {
  const SimClock& c = ctx.clock;
  if (hasMonthSet(e)) {
    return setAdmitsMonth(e, c.ClockMonthCode()) && e.repeat == c.ClockDay() ? SUCCESS : NOT_TODAY;
  }
  const int32_t r = repeatPhase(ctx, e, start, now, context);
  const int32_t sinceMidnight = now % kMinutesPerDay;
  if (r > 0 && r >= kMinutesPerDay - sinceMidnight) {
    return NOT_TODAY;  // the next grid point falls at or after the next midnight
  }
  if (r < 0 && -r > sinceMidnight) {
    return NOT_TODAY;
  }
  return SUCCESS;
}

ResultCode yearLoadsToday(TimingContext& ctx, const ScheduleEvent& e, const char* context) {
  const SimClock& c = ctx.clock;
  if (e.startDay != c.ClockDay() || e.startMonth != c.ClockMonthCode()) {
    return NOT_TODAY;
  }
  if (e.repeat == 0) {
    // The classification refuses such an event; a count of 0 has no period.
    ctx.reports.report(BAD_PERIOD, context);
    return NOT_TODAY;
  }
  return (c.ClockYear() - e.startYear) % e.repeat == 0 ? SUCCESS : NOT_TODAY;
}

ResultCode weekdayLoadsToday(TimingContext& ctx, const ScheduleEvent& e) {
  const SimClock& c = ctx.clock;
  const int weekOfMonth = static_cast<int>(c.ClockDay() / 7.25 + 1.0);
  if (hasMonthSet(e) && !(setAdmitsMonth(e, c.ClockMonthCode()) && e.repeat == weekOfMonth)) {
    return NOT_TODAY;
  }
  if (e.startKey != c.ClockDateKey() && c.ClockWeekday() != e.period) {
    return NOT_TODAY;
  }
  return SUCCESS;
}

}  // namespace

ResultCode LoadsToday(TimingContext& ctx, ScheduleEvent* event, const char* context) {
  const SimClock& c = ctx.clock;
  const int32_t now = clockMinutes(ctx, nullptr);
  if (event == nullptr) {
    return BAD_EVENT_POINTER;
  }
  ScheduleEvent& e = *event;
  const int32_t start = startMinutes(ctx, e, context);
  if ((e.flags & BOOT_START) != 0 && ctx.boot.bootDateKey < e.startKey) {
    return NOT_TODAY;
  }
  // An event that starts within the coming 24 hours is loaded already.
  if (start > now + kMinutesPerDay) {
    return NOT_TODAY;
  }
  switch (classRule(e)) {
    case ClassRule::OneShot:
      return e.startKey == c.ClockDateKey() ? SUCCESS : NOT_TODAY;
    case ClassRule::WithEnd:
      if (c.ClockDateKey() < e.startKey || e.endKey < c.ClockDateKey()) {
        return NOT_TODAY;
      }
      break;
    case ClassRule::Repeating:
      break;
    case ClassRule::Unknown:
      return ERR_BAD_BEHAVIOR_TYPE;
  }
  if (e.period == PERIOD_BOOT) {
    if (c.ClockDateKey() > e.startKey) {
      e.startHour = ctx.boot.bootHour;
      e.startMinute = ctx.boot.bootMinute;
    }
    if (!ctx.boot.booting && e.startKey != c.ClockDateKey()) {
      return NOT_TODAY;
    }
  }
  switch (periodRule(e)) {
    case PeriodRule::Year:
      return yearLoadsToday(ctx, e, context);
    case PeriodRule::Grid:
      return gridLoadsToday(ctx, e, start, now, context);
    case PeriodRule::Weekday:
      return weekdayLoadsToday(ctx, e);
    case PeriodRule::Unknown:
      break;
  }
  return BAD_REPEAT_PERIOD;
}

ResultCode IsDueNow(TimingContext& ctx, const ScheduleEvent* event) {
  const SimClock& c = ctx.clock;
  const int32_t now = clockMinutes(ctx, nullptr);
  if (event == nullptr) {
    return BAD_EVENT_POINTER;
  }
  const ScheduleEvent& e = *event;
  const int32_t start = startMinutes(ctx, e, nullptr);
  if (start > now) {
    return NOT_TODAY;
  }
  if (e.period == PERIOD_BOOT) {
    if (ctx.boot.booting) {
      return SUCCESS;
    }
    if (e.startKey != c.ClockDateKey()) {
      return NOT_TODAY;
    }
  }
  switch (classRule(e)) {
    case ClassRule::OneShot:
      return start == now ? SUCCESS : NOT_TODAY;
    case ClassRule::WithEnd:
      if (now < start || endMinutes(ctx, e, nullptr) < now) {
        return NOT_TODAY;
      }
      break;
    case ClassRule::Repeating:
      break;
    case ClassRule::Unknown:
      return ERR_BAD_BEHAVIOR_TYPE;
  }
  switch (periodRule(e)) {
    case PeriodRule::Year:
      return atStartTimeOfDay(e, c) ? SUCCESS : NOT_TODAY;  // the day was settled at loading
    case PeriodRule::Weekday:
      if (e.startKey != c.ClockDateKey() && c.ClockWeekday() != e.period) {
        return NOT_TODAY;
      }
      return atStartTimeOfDay(e, c) ? SUCCESS : NOT_TODAY;
    case PeriodRule::Grid:
      if (hasMonthSet(e)) {
        return atStartTimeOfDay(e, c) ? SUCCESS : NOT_TODAY;
      }
      return repeatPhase(ctx, e, start, now, nullptr) == 0 ? SUCCESS : NOT_TODAY;
    case PeriodRule::Unknown:
      break;
  }
  return BAD_REPEAT_PERIOD;
}

ScheduleEvent* PickPrecedence(TimingContext& ctx, ScheduleEvent* a, ScheduleEvent* b) {
  const bool aBoot = isBootEvent(*a);
  const bool bBoot = isBootEvent(*b);
  if (ctx.boot.booting && aBoot != bBoot) {
    ScheduleEvent* winner = aBoot ? a : b;
    winner->flags &= ~BOOT_START;
    return winner;
  }
  if (!(ctx.boot.booting && aBoot)) {
    // The boot start mark stays part of the class here, so it forms a class of its own.
    constexpr uint8_t kSetBits = HAS_SET | SET_REPEATS;
    const uint8_t aClass = a->flags & ~kSetBits;
    const uint8_t bClass = b->flags & ~kSetBits;
    if (aClass != bClass) {
      if (a->flags == ONE_SHOT) {
        return a;
      }
      if (b->flags == ONE_SHOT) {
        return b;
      }
      if (aClass == HAS_END) {
        return a;
      }
      if (bClass == HAS_END) {
        return b;
      }
      return nullptr;
    }
  }
  // Same class: the later start wins, and of equal starts the one earlier in the file.
  const int32_t aStart = startMinutes(ctx, *a, nullptr);
  const int32_t bStart = startMinutes(ctx, *b, nullptr);
  a->flags &= ~BOOT_START;
  b->flags &= ~BOOT_START;
  return aStart < bStart ? b : a;
}

}  // namespace quillmar::planprobe
