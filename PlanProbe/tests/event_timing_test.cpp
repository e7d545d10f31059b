#include "rules/event_timing.h"
#include "schedule/event_class.h"
#include "session/minute_run.h"

#include <gtest/gtest.h>

#include <iterator>

#include "tests/simulation_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::crlf;
using testing::makeEvent;
using testing::setEnd;
using testing::setValueParam;

// The clock and boot state the tests run against.
struct Moment {
  int month, day, year, hour, minute;
  bool booting = false;
};

struct Fixture {
  explicit Fixture(const Moment& m) : log(std::make_unique<StringSink>(out)) {
    clock.setDate(static_cast<int8_t>(m.month), static_cast<int8_t>(m.day),
                  static_cast<int8_t>(m.year));
    clock.setTime(static_cast<int8_t>(m.hour), static_cast<int8_t>(m.minute));
    clock.updateDateKey();
    boot.booting = m.booting;
    boot.bootHour = 8;
    boot.bootMinute = 30;
    boot.bootDateKey = dateKey(0, 1, 1);
  }
  std::string written() {
    log.flush();
    return out;
  }

  std::string out;
  SimClock clock;
  BootState boot;
  ResultsLog log;
  MinuteContext minute{clock, boot, log};
  TimingContext& timing = minute.timing;
};

// An event with its repeat fields set and classified as the parser leaves it.
ScheduleEvent repeating(int period, int repeat, int month, int day, int year, int hour, int minute,
                        int set = 0) {
  ScheduleEvent e = makeEvent(ON, month, day, year, hour, minute);
  e.period = static_cast<int8_t>(period);
  e.repeat = static_cast<int8_t>(repeat);
  e.set = static_cast<int8_t>(set);
  classifyEvent(e);
  return e;
}

ScheduleEvent withEnd(ScheduleEvent e, int month, int day, int year, int hour, int minute) {
  setEnd(e, month, day, year, hour, minute);
  e.flags = 0;
  classifyEvent(e);
  return e;
}

ScheduleEvent withFlags(ScheduleEvent e, uint8_t flags) {
  e.flags = flags;
  return e;
}

ScheduleEvent oneShot(int month, int day, int year, int hour, int minute) {
  return repeating(0, 0, month, day, year, hour, minute);
}

constexpr int kJune = 36;

TEST(LoadsToday, DayTestTable) {
  struct Row {
    const char* name;
    ScheduleEvent event;
    Moment at;
    ResultCode result;
    std::string log = "";
  };
  const ScheduleEvent yearly = repeating(PERIOD_YEAR, 2, 6, 15, 0, 10, 0);
  ScheduleEvent yearlyNoCount = yearly;
  yearlyNoCount.repeat = 0;
  const ScheduleEvent secondMondayOfJune = repeating(12, 2, 1, 1, 0, 9, 0, kJune);
  const ScheduleEvent secondMondayMonthly = repeating(12, 2, 1, 1, 0, 9, 0, SET_MONTH);
  const ScheduleEvent fifteenthOfJune = repeating(PERIOD_DAY, 15, 1, 1, 0, 7, 0, kJune);
  const ScheduleEvent fifteenthMonthly = repeating(PERIOD_DAY, 15, 1, 1, 0, 7, 0, SET_MONTH);
  const ScheduleEvent everyOtherDay = repeating(PERIOD_DAY, 2, 1, 1, 0, 10, 0);
  const Row rows[] = {
      {"yearly without a count",
       yearlyNoCount,
       {6, 15, 4, 0, 0},
       NOT_TODAY,
       "\n7 Error: BAD_PERIOD\t\t\t\n"},
      {"weekday set, other month", secondMondayOfJune, {7, 8, 2, 0, 0}, NOT_TODAY},
      {"weekday set, other weekday", secondMondayOfJune, {6, 11, 2, 0, 0}, NOT_TODAY},
      {"weekday set of every month", secondMondayMonthly, {7, 8, 2, 0, 0}, SUCCESS},
      {"day set, its day", fifteenthOfJune, {6, 15, 2, 0, 0}, SUCCESS},
      {"day set, other day", fifteenthOfJune, {6, 16, 2, 0, 0}, NOT_TODAY},
      {"day set, other month", fifteenthOfJune, {7, 15, 2, 0, 0}, NOT_TODAY},
      {"day set of every month", fifteenthMonthly, {7, 15, 2, 0, 0}, SUCCESS},
      {"starts exactly 24 hours on",
       repeating(PERIOD_DAY, 1, 1, 2, 0, 0, 0),
       {1, 1, 0, 0, 0},
       SUCCESS},
      {"starts 24 hours and a minute on",
       repeating(PERIOD_DAY, 1, 1, 2, 0, 0, 1),
       {1, 1, 0, 0, 0},
       NOT_TODAY},
      {"grid point later today",
       repeating(PERIOD_DAY, 1, 1, 1, 0, 10, 0),
       {1, 2, 0, 5, 0},
       SUCCESS},
      {"one-shot on its date", oneShot(1, 5, 0, 23, 0), {1, 5, 0, 0, 0}, SUCCESS},
      {"one-shot before its date", oneShot(1, 6, 0, 0, 0), {1, 5, 0, 0, 0}, NOT_TODAY},
      {"one-shot after its date", oneShot(1, 4, 0, 0, 0), {1, 5, 0, 0, 0}, NOT_TODAY},
      {"end date reached",
       withEnd(repeating(PERIOD_DAY, 1, 1, 1, 0, 0, 0), 1, 3, 0, 0, 0),
       {1, 3, 0, 0, 0},
       SUCCESS},
      {"end date passed",
       withEnd(repeating(PERIOD_DAY, 1, 1, 1, 0, 0, 0), 1, 3, 0, 0, 0),
       {1, 4, 0, 0, 0},
       NOT_TODAY},
      {"boot start after the boot day",
       withFlags(oneShot(1, 2, 0, 8, 30), ONE_SHOT | BOOT_START),
       {1, 2, 0, 0, 0},
       NOT_TODAY},
      {"unknown class", withFlags(everyOtherDay, HAS_SET), {1, 3, 0, 0, 0}, ERR_BAD_BEHAVIOR_TYPE},
      {"unknown period", repeating(5, 1, 1, 1, 0, 0, 0), {1, 3, 0, 0, 0}, BAD_REPEAT_PERIOD},
      {"no start date",
       repeating(PERIOD_DAY, 1, 0, 0, 0, 0, 0),
       {1, 3, 0, 0, 0},
       SUCCESS,
       "\n7 Error: BAD_MONTH\t\t\t\n"},
      {"repeat phase without a count",
       withFlags(repeating(PERIOD_HOUR, -3, 1, 1, 0, 0, 0), 0),
       {1, 3, 0, 0, 0},
       NOT_TODAY,
       "\n7 Error: BAD_PERIOD\t\t\t\n"},
  };
  for (const Row& row : rows) {
    Fixture f(row.at);
    ScheduleEvent event = row.event;
    EXPECT_EQ(LoadsToday(f.timing, &event, "7"), row.result) << row.name;
    EXPECT_EQ(f.written(), crlf(row.log)) << row.name;
  }
}

TEST(IsDueNow, MinuteTestTable) {
  struct Row {
    const char* name;
    ScheduleEvent event;
    Moment at;
    ResultCode result;
    std::string log = "";
  };
  const ScheduleEvent everyTwoMinutes = repeating(PERIOD_MINUTE, 2, 1, 1, 0, 2, 0);
  const ScheduleEvent hourly = repeating(PERIOD_HOUR, 1, 1, 1, 0, 2, 30);
  const ScheduleEvent ended = withEnd(repeating(PERIOD_MINUTE, 1, 1, 1, 0, 0, 0), 1, 1, 0, 0, 10);
  const ScheduleEvent saturdays = repeating(17, 1, 1, 1, 0, 10, 0);
  const ScheduleEvent junePeriod = repeating(PERIOD_DAY, 15, 1, 1, 0, 7, 0, kJune);
  const Row rows[] = {
      {"grid start", everyTwoMinutes, {1, 1, 0, 2, 0}, SUCCESS},
      {"between grid points", everyTwoMinutes, {1, 1, 0, 2, 1}, NOT_TODAY},
      {"next grid point", everyTwoMinutes, {1, 1, 0, 2, 2}, SUCCESS},
      {"grid on a later day", everyTwoMinutes, {1, 2, 0, 0, 0}, SUCCESS},
      {"before the start", everyTwoMinutes, {1, 1, 0, 1, 58}, NOT_TODAY},
      {"hourly", hourly, {1, 1, 0, 3, 30}, SUCCESS},
      {"hourly off the hour", hourly, {1, 1, 0, 3, 31}, NOT_TODAY},
      {"one-shot in its minute", oneShot(1, 1, 0, 10, 0), {1, 1, 0, 10, 0}, SUCCESS},
      {"one-shot after its minute", oneShot(1, 1, 0, 10, 0), {1, 1, 0, 10, 1}, NOT_TODAY},
      {"end minute", ended, {1, 1, 0, 0, 10}, SUCCESS},
      {"after the end minute", ended, {1, 1, 0, 0, 11}, NOT_TODAY},
      {"weekday on its weekday", saturdays, {1, 8, 0, 10, 0}, SUCCESS},
      {"weekday on another day", saturdays, {1, 9, 0, 10, 0}, NOT_TODAY},
      {"month set at its time of day", junePeriod, {6, 15, 0, 7, 0}, SUCCESS},
      {"unknown class", withFlags(hourly, 5), {1, 1, 0, 3, 30}, ERR_BAD_BEHAVIOR_TYPE},
      {"unknown period", repeating(30, 1, 1, 1, 0, 0, 0), {1, 1, 0, 3, 30}, BAD_REPEAT_PERIOD},
      {"no start date",
       repeating(PERIOD_MINUTE, 1, 0, 0, 0, 0, 0),
       {1, 1, 0, 3, 30},
       SUCCESS,
       "\nError: BAD_MONTH\t\t\t\n"},
  };
  for (const Row& row : rows) {
    Fixture f(row.at);
    EXPECT_EQ(IsDueNow(f.timing, &row.event), row.result) << row.name;
    EXPECT_EQ(f.written(), crlf(row.log)) << row.name;
  }
}

TEST(PickPrecedence, PrecedenceTable) {
  enum Winner { A, B, NONE };
  struct Row {
    const char* name;
    ScheduleEvent a;
    ScheduleEvent b;
    bool booting;
    Winner winner;
    uint8_t aFlagsAfter;
    uint8_t bFlagsAfter;
  };
  const ScheduleEvent early = repeating(PERIOD_DAY, 1, 1, 1, 0, 1, 0);
  const ScheduleEvent late = repeating(PERIOD_DAY, 1, 1, 1, 0, 2, 0);
  const ScheduleEvent lateInSet = repeating(PERIOD_DAY, 1, 1, 1, 0, 2, 0, kJune);
  const ScheduleEvent shot = oneShot(1, 1, 0, 0, 0);
  const ScheduleEvent ending = withEnd(early, 1, 9, 0, 0, 0);
  const ScheduleEvent endingInSet =
      withEnd(repeating(PERIOD_DAY, 1, 1, 1, 0, 3, 0, kJune), 1, 9, 0, 0, 0);
  const ScheduleEvent bootStart = withFlags(early, BOOT_START);
  const ScheduleEvent lateBootStart = withFlags(late, BOOT_START);
  const ScheduleEvent bootPeriod = repeating(PERIOD_BOOT, 1, 1, 1, 0, 0, 0);
  const Row rows[] = {
      {"booting: boot start first", bootStart, late, true, A, 0, 0},
      {"booting: boot period second", late, bootPeriod, true, B, 0, 0},
      {"booting: two boot events, later start", bootStart, lateBootStart, true, B, 0, 0},
      {"booting: neither boots", early, late, true, B, 0, 0},
      {"end date within a set second", late, endingInSet, false, B, 0, 7},
      {"set makes no class of its own", early, lateInSet, false, B, 0, 3},
      {"equal starts: earlier in file", early, early, false, A, 0, 0},
      {"boot start outside boot minute: no winner", bootStart, late, false, NONE, BOOT_START, 0},
      {"boot start one-shot is no one-shot", withFlags(shot, ONE_SHOT | BOOT_START), late, false,
       NONE, ONE_SHOT | BOOT_START, 0},
      {"boot start against end date", withFlags(ending, HAS_END | BOOT_START), ending, false, B,
       HAS_END | BOOT_START, HAS_END},
      {"two boot starts compare and lose the mark", bootStart, lateBootStart, false, B, 0, 0},
  };
  for (const Row& row : rows) {
    Fixture f({1, 1, 0, 0, 0, row.booting});
    ScheduleEvent a = row.a;
    ScheduleEvent b = row.b;
    ScheduleEvent* winner = PickPrecedence(f.timing, &a, &b);
    ScheduleEvent* expected = row.winner == A ? &a : row.winner == B ? &b : nullptr;
    EXPECT_EQ(winner, expected) << row.name;
    EXPECT_EQ(a.flags, row.aFlagsAfter) << row.name;
    EXPECT_EQ(b.flags, row.bFlagsAfter) << row.name;
  }
}

TEST(ExecuteMinute, OutcomeTable) {
  struct Row {
    const char* name;
    std::vector<ScheduleEvent> events;
    bool booting;
    ResultCode result;
    std::string log;
  };
  ScheduleEvent on = oneShot(1, 1, 0, 0, 0);
  setValueParam(on, 0, 4);
  ScheduleEvent later = repeating(PERIOD_MINUTE, 1, 1, 1, 0, 0, 0);
  setValueParam(later, 0, 9);
  ScheduleEvent stop = oneShot(1, 1, 0, 0, 0);
  stop.kind = STOP;
  const ScheduleEvent notYet = oneShot(1, 1, 0, 0, 5);
  const Row rows[] = {
      {"empty list", {}, true, SUCCESS, ""},
      {"nothing due", {notYet}, true, NOT_TODAY, ""},
      {"one due", {later}, true, kExecuted, " (00:00 starttime) ElvaneOn: 9"},
      {"double occupancy", {later, on}, true, kExecuted, "D(00:00 starttime) ElvaneOn: 4"},
      {"boot start wins the boot minute",
       {later, withFlags(later, BOOT_START)},
       true,
       kExecuted,
       "D(00:00 starttime) ElvaneOn: 9"},
      {"no winner", {withFlags(later, BOOT_START), later}, false, BAD_EVENT, ""},
      {"winner without command", {stop, later}, false, NO_MATCH, ""},
      {"errors reported, others still run",
       {repeating(40, 1, 1, 1, 0, 0, 0), later, withFlags(later, 1)},
       false,
       kExecuted,
       "\nError: BAD_REPEAT_PERIOD\t\n\nError: ERR_BAD_BEHAVIOR_TYPE\n (00:00 starttime) "
       "ElvaneOn: 9"},
  };
  for (const Row& row : rows) {
    Fixture f({1, 1, 0, 0, 0, row.booting});
    EventList events;
    for (ScheduleEvent e : row.events) {
      events.push(std::move(e));
    }
    EXPECT_EQ(ExecuteMinute(f.minute, events), row.result) << row.name;
    EXPECT_FALSE(f.boot.booting) << row.name;
    EXPECT_EQ(f.written(), crlf(row.log)) << row.name;
  }
}

// The rules at their edges. Each expected value is worked out by hand from the rules as the
// unit's firmware applies them; each row names the rule it pins.

TEST(RuleEdges, DayTestOfARepeatGridAtTheNextMidnight) {
  // Every 36 hours from 1 January 2000 12:00: grid points 1 Jan 12:00, 3 Jan 00:00, 4 Jan 12:00.
  const ScheduleEvent noonStart = repeating(PERIOD_HOUR, 36, 1, 1, 0, 12, 0);
  // A minute earlier: the second grid point is 2 Jan 23:59.
  const ScheduleEvent earlierStart = repeating(PERIOD_HOUR, 36, 1, 1, 0, 11, 59);
  struct Row {
    const char* rule;
    const ScheduleEvent& event;
    Moment at;  // the day's first simulated minute
    ResultCode result;
  };
  const Row rows[] = {
      {"next point exactly at the next midnight: not today", noonStart, {1, 2, 0, 0, 0}, NOT_TODAY},
      {"same, seen from mid-day", noonStart, {1, 2, 0, 12, 0}, NOT_TODAY},
      {"same, seen from a minute past mid-day", noonStart, {1, 2, 0, 12, 1}, NOT_TODAY},
      {"next point at 23:59: today", earlierStart, {1, 2, 0, 0, 0}, SUCCESS},
      {"next point at 23:59 seen from mid-day: today", earlierStart, {1, 2, 0, 12, 0}, SUCCESS},
      {"point at midnight itself: today", noonStart, {1, 3, 0, 0, 0}, SUCCESS},
      {"point at midnight, a minute ago: today", noonStart, {1, 3, 0, 0, 1}, SUCCESS},
      {"point at midnight, seen from mid-day: today", noonStart, {1, 3, 0, 12, 0}, SUCCESS},
      {"point at yesterday's 23:59 seen from today: not today",
       earlierStart,
       {1, 3, 0, 0, 0},
       NOT_TODAY},
      {"start later on the first day: today", noonStart, {1, 1, 0, 0, 0}, SUCCESS},
  };
  for (const Row& row : rows) {
    Fixture f(row.at);
    ScheduleEvent event = row.event;
    EXPECT_EQ(LoadsToday(f.timing, &event, "1"), row.result) << row.rule;
    EXPECT_EQ(f.written(), "") << row.rule;
  }
}

TEST(RuleEdges, WeekOfMonthOfAWeekdayWithAMonthSet) {
  // Week 1 is days 1..7, 2 is 8..14, 3 is 15..21, 4 is 22..28, 5 is 29..31. The event starts on
  // the day itself, so its weekday never stands in the way.
  struct Row {
    int day;
    int week;
  };
  const Row rows[] = {{1, 1},  {7, 1},  {8, 2},  {14, 2}, {15, 3},
                      {21, 3}, {22, 4}, {28, 4}, {29, 5}, {31, 5}};
  constexpr int kJanuary = 31;
  for (const Row& row : rows) {
    for (int repeat = 1; repeat <= 5; ++repeat) {
      Fixture f({1, row.day, 1, 0, 0});
      ScheduleEvent event = repeating(13, repeat, 1, row.day, 1, 9, 0, kJanuary);
      EXPECT_EQ(LoadsToday(f.timing, &event, "1"), repeat == row.week ? SUCCESS : NOT_TODAY)
          << "day " << row.day << " is in week " << row.week << ", not " << repeat;
    }
  }
}

TEST(RuleEdges, PrecedenceOfEveryClassAgainstEveryOther) {
  // Outside the boot minute, `a` (earlier in the file, earlier start) against `b` (later start).
  // Classes 0, 2, 3 are plain repeating, 4, 6, 7 have an end date, 8 is one-shot; the boot start
  // mark makes a class of its own that is neither one-shot nor of the end-date class.
  // a: winner a, b: winner b, -: no winner.
  constexpr uint8_t kClasses[] = {0, 2, 3, 4, 6, 7, 8, BOOT_START, BOOT_START | 4, BOOT_START | 8};
  constexpr const char* kWinners[] = {
      //    b: 0  2  3  4  6  7  8 B0 B4 B8
      "bbbbbbb---",  // a: 0
      "bbbbbbb---",  // a: 2
      "bbbbbbb---",  // a: 3
      "aaabbbbaaa",  // a: 4
      "aaabbbbaaa",  // a: 6
      "aaabbbbaaa",  // a: 7
      "aaaaaabaaa",  // a: 8
      "---bbbbb--",  // a: boot start, class 0
      "---bbbb-b-",  // a: boot start, class 4
      "---bbbb--b",  // a: boot start, class 8
  };
  const ScheduleEvent early = repeating(PERIOD_DAY, 1, 1, 1, 0, 1, 0);
  const ScheduleEvent late = repeating(PERIOD_DAY, 1, 1, 1, 0, 2, 0);
  for (size_t i = 0; i < std::size(kClasses); ++i) {
    for (size_t j = 0; j < std::size(kClasses); ++j) {
      Fixture f({1, 1, 0, 3, 0});
      ScheduleEvent a = withFlags(early, kClasses[i]);
      ScheduleEvent b = withFlags(late, kClasses[j]);
      const char expected = kWinners[i][j];
      const ScheduleEvent* winner = PickPrecedence(f.timing, &a, &b);
      EXPECT_EQ(winner, expected == 'a'   ? &a
                        : expected == 'b' ? &b
                                          : nullptr)
          << "class " << int{kClasses[i]} << " against class " << int{kClasses[j]};
    }
  }
}

TEST(RuleEdges, EndDateWarningOfEveryClass) {
  // The parser warns of an end date before the start for classes 4 and 7 only; the boot start
  // mark is no part of the class.
  for (uint8_t flags = 0; flags < 16; ++flags) {
    for (uint8_t mark : {uint8_t{0}, uint8_t{BOOT_START}}) {
      ScheduleEvent e;
      e.flags = static_cast<uint8_t>(flags | mark);
      EXPECT_EQ(describeClass(e).endDateChecked, flags == 4 || flags == 7) << int{e.flags};
    }
  }
}

TEST(RuleEdges, BootPeriodWhenTheBootFallsAfterTheStartDay) {
  // The unit boots on 3 January 2000 at 08:30.
  struct Row {
    const char* rule;
    ScheduleEvent event;
    Moment at;
    ResultCode loads;   // the day test at this moment
    int startAfter;     // the start time of day it leaves, hour x 100 + minute
    ResultCode dueNow;  // the minute test right after
  };
  const ScheduleEvent fromFirst = repeating(PERIOD_BOOT, 1, 1, 1, 0, 5, 0);
  const Row rows[] = {
      {"start day passed: loaded at boot with the boot time",
       fromFirst,
       {1, 3, 0, 8, 30, true},
       SUCCESS,
       830,
       SUCCESS},
      {"a later day without a boot: not loaded",
       fromFirst,
       {1, 4, 0, 0, 0, false},
       NOT_TODAY,
       830,
       NOT_TODAY},
      {"starts on the boot day after the boot: loaded, not due at boot",
       repeating(PERIOD_BOOT, 1, 1, 3, 0, 10, 0),
       {1, 3, 0, 8, 30, true},
       SUCCESS,
       1000,
       NOT_TODAY},
      {"same event at its start time: due",
       repeating(PERIOD_BOOT, 1, 1, 3, 0, 10, 0),
       {1, 3, 0, 10, 0, false},
       SUCCESS,
       1000,
       SUCCESS},
      {"starts on the boot day before the boot: due at boot with its own time",
       repeating(PERIOD_BOOT, 1, 1, 3, 0, 5, 0),
       {1, 3, 0, 8, 30, true},
       SUCCESS,
       500,
       SUCCESS},
      {"starts after the boot day: not loaded",
       repeating(PERIOD_BOOT, 1, 1, 5, 0, 5, 0),
       {1, 3, 0, 8, 30, true},
       NOT_TODAY,
       500,
       NOT_TODAY},
  };
  for (const Row& row : rows) {
    Fixture f(row.at);
    f.boot.bootDateKey = dateKey(0, 1, 3);
    ScheduleEvent event = row.event;
    EXPECT_EQ(LoadsToday(f.timing, &event, "1"), row.loads) << row.rule;
    EXPECT_EQ(event.startHour * 100 + event.startMinute, row.startAfter) << row.rule;
    EXPECT_EQ(IsDueNow(f.timing, &event), row.dueNow) << row.rule;
    EXPECT_EQ(f.written(), "") << row.rule;
  }
}

TEST(RuleEdges, YearEventsOnTheTwentyNinthOfFebruary) {
  struct Row {
    const char* rule;
    int repeat;
    Moment at;
    ResultCode result;
  };
  // From 29 February 2000 at 10:00.
  const Row rows[] = {
      {"its own date", 1, {2, 29, 0, 0, 0}, SUCCESS},
      {"yearly: the next 29 February, four years on", 1, {2, 29, 4, 0, 0}, SUCCESS},
      {"no 29 February: not on the 28th", 1, {2, 28, 1, 0, 0}, NOT_TODAY},
      {"no 29 February: not on 1 March", 1, {3, 1, 1, 0, 0}, NOT_TODAY},
      {"the day before it in a leap year", 1, {2, 28, 4, 0, 0}, NOT_TODAY},
      {"every 3 years: 2004 is off the count", 3, {2, 29, 4, 0, 0}, NOT_TODAY},
      {"every 3 years: 2012 is on it", 3, {2, 29, 12, 0, 0}, SUCCESS},
      {"every 4 years: 2008", 4, {2, 29, 8, 0, 0}, SUCCESS},
  };
  for (const Row& row : rows) {
    Fixture f(row.at);
    ScheduleEvent event = repeating(PERIOD_YEAR, row.repeat, 2, 29, 0, 10, 0);
    EXPECT_EQ(LoadsToday(f.timing, &event, "1"), row.result) << row.rule;
  }
  // Due at its start time on a loaded day, and in no other minute of it.
  const ScheduleEvent yearly = repeating(PERIOD_YEAR, 1, 2, 29, 0, 10, 0);
  Fixture atTen({2, 29, 4, 10, 0});
  EXPECT_EQ(IsDueNow(atTen.timing, &yearly), SUCCESS);
  Fixture aMinuteLate({2, 29, 4, 10, 1});
  EXPECT_EQ(IsDueNow(aMinuteLate.timing, &yearly), NOT_TODAY);
}

}  // namespace
}  // namespace quillmar::planprobe
