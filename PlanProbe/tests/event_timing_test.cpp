#include "rules/event_timing.h"
#include "session/minute_run.h"

#include <gtest/gtest.h>

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
  const ScheduleEvent bootPeriod = repeating(PERIOD_BOOT, 1, 1, 1, 0, 5, 0);
  const ScheduleEvent laterBoot = repeating(PERIOD_BOOT, 1, 1, 3, 0, 9, 0);
  const Row rows[] = {
      {"yearly on its day", yearly, {6, 15, 2, 0, 0}, SUCCESS},
      {"yearly off its year", yearly, {6, 15, 1, 0, 0}, NOT_TODAY},
      {"yearly off its day", yearly, {6, 14, 2, 0, 0}, NOT_TODAY},
      {"yearly four years on", yearly, {6, 15, 4, 0, 0}, SUCCESS},
      {"yearly without a count",
       yearlyNoCount,
       {6, 15, 4, 0, 0},
       NOT_TODAY,
       "\n7 Error: BAD_PERIOD\t\t\t\n"},
      {"weekday set, second week", secondMondayOfJune, {6, 10, 2, 0, 0}, SUCCESS},
      {"weekday set, first week", secondMondayOfJune, {6, 3, 2, 0, 0}, NOT_TODAY},
      {"weekday set, third week", secondMondayOfJune, {6, 17, 2, 0, 0}, NOT_TODAY},
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
      {"grid point falls tomorrow", everyOtherDay, {1, 2, 0, 0, 0}, NOT_TODAY},
      {"grid point today", everyOtherDay, {1, 3, 0, 0, 0}, SUCCESS},
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
      {"boot period in the boot minute", bootPeriod, {1, 1, 0, 8, 30, true}, SUCCESS},
      {"boot period after its date", bootPeriod, {1, 2, 0, 0, 0}, NOT_TODAY},
      {"boot period on its later date", laterBoot, {1, 3, 0, 0, 0}, SUCCESS},
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

TEST(LoadsToday, BootPeriodTakesTheBootTimeOnceItsDateHasPassed) {
  Fixture f({1, 2, 0, 0, 0});
  ScheduleEvent e = repeating(PERIOD_BOOT, 1, 1, 1, 0, 5, 0);
  LoadsToday(f.timing, &e, "1");
  EXPECT_EQ(e.startHour, 8);
  EXPECT_EQ(e.startMinute, 30);
  Fixture sameDay({1, 1, 0, 0, 0, true});
  ScheduleEvent same = repeating(PERIOD_BOOT, 1, 1, 1, 0, 5, 0);
  EXPECT_EQ(LoadsToday(sameDay.timing, &same, "1"), SUCCESS);
  EXPECT_EQ(same.startHour, 5);
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
  const ScheduleEvent yearly = repeating(PERIOD_YEAR, 1, 6, 15, 0, 10, 0);
  const ScheduleEvent junePeriod = repeating(PERIOD_DAY, 15, 1, 1, 0, 7, 0, kJune);
  const ScheduleEvent bootPeriod = repeating(PERIOD_BOOT, 1, 1, 1, 0, 5, 0);
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
      {"yearly at its time", yearly, {6, 15, 2, 10, 0}, SUCCESS},
      {"yearly a minute late", yearly, {6, 15, 2, 10, 1}, NOT_TODAY},
      {"month set at its time of day", junePeriod, {6, 15, 0, 7, 0}, SUCCESS},
      {"boot period in the boot minute", bootPeriod, {1, 1, 0, 8, 30, true}, SUCCESS},
      {"boot period off its date", bootPeriod, {1, 2, 0, 5, 0}, NOT_TODAY},
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
      {"one-shot first beats later start", shot, late, false, A, ONE_SHOT, 0},
      {"one-shot second", late, shot, false, B, 0, ONE_SHOT},
      {"end date first", ending, late, false, A, HAS_END, 0},
      {"end date within a set second", late, endingInSet, false, B, 0, 7},
      {"one-shot beats end date", ending, shot, false, B, HAS_END, ONE_SHOT},
      {"set makes no class of its own", early, lateInSet, false, B, 0, 3},
      {"later start wins", late, early, false, A, 0, 0},
      {"equal starts: earlier in file", early, early, false, A, 0, 0},
      {"boot start outside boot minute: no winner", bootStart, late, false, NONE, BOOT_START, 0},
      {"boot start one-shot is no one-shot", withFlags(shot, ONE_SHOT | BOOT_START), late, false,
       NONE, ONE_SHOT | BOOT_START, 0},
      {"boot start against one-shot", bootStart, shot, false, B, BOOT_START, ONE_SHOT},
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

}  // namespace
}  // namespace quillmar::planprobe
