#include "calendar/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

namespace quillmar::planprobe {
namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::int8_t monthCode(unsigned month) {
  return static_cast<std::int8_t>(month + 30);
}

// Schedule minute of midnight of a civil date, worked out independently by std::chrono.
std::int32_t referenceMinutes(const year_month_day& date) {
  const auto epoch = sys_days{std::chrono::year{2000} / 1 / 1};
  return static_cast<std::int32_t>((sys_days{date} - epoch).count() * 1440);
}

TEST(IsLeapYear, GregorianRule) {
  struct Case {
    int offset;
    bool leap;
  };
  for (const Case& c :
       {Case{0, true}, Case{1, false}, Case{4, true}, Case{96, true}, Case{99, false},
        Case{100, false}, Case{104, true}, Case{-4, true}, Case{-100, false}, Case{400, true}}) {
    EXPECT_EQ(IsLeapYear(c.offset), c.leap) << "offset " << c.offset;
  }
}

TEST(CheckDayOfMonth, UpperBoundOnly) {
  struct Case {
    int month;
    int day;
    int year;
    CalendarStatus expected;
  };
  constexpr auto kOk = CalendarStatus::Ok;
  constexpr auto kBad = CalendarStatus::BadDay;
  // Month ends are pinned by the civil calendar below; here codes outside the year, small days.
  for (const Case& c : {Case{30, 31, 2, kOk}, Case{43, 31, 2, kOk}, Case{30, 32, 2, kBad},
                        Case{32, 0, 1, kOk}, Case{34, 0, 1, kOk}, Case{31, -5, 1, kOk}}) {
    EXPECT_EQ(CheckDayOfMonth(static_cast<std::int8_t>(c.month), static_cast<std::int8_t>(c.day),
                              static_cast<std::int8_t>(c.year)),
              c.expected)
        << c.month << "/" << c.day << "/" << c.year;
  }
}

TEST(CheckDayOfMonth, AgreesWithCivilCalendar) {
  for (int offset = 0; offset < 100; ++offset) {
    for (unsigned month = 1; month <= 12; ++month) {
      const auto ym = std::chrono::year{2000 + offset} / std::chrono::month{month};
      const unsigned last = static_cast<unsigned>((ym / std::chrono::last).day());
      const auto year = static_cast<std::int8_t>(offset);
      EXPECT_EQ(CheckDayOfMonth(monthCode(month), static_cast<std::int8_t>(last), year),
                CalendarStatus::Ok);
      EXPECT_EQ(CheckDayOfMonth(monthCode(month), static_cast<std::int8_t>(last + 1), year),
                CalendarStatus::BadDay);
    }
  }
}

TEST(MinutesSince2000, KnownDates) {
  struct Case {
    int year, month, day, hour, minute;
    std::int32_t expected;
  };
  for (const Case& c : {
           Case{2, 37, 24, 21, 32, 1347692},
           Case{0, 31, 0, 0, 0, -1440},  // fields are not range-checked
           Case{0, 31, 1, 25, 70, 25 * 60 + 70},
           Case{-3, 31, 1, 0, 0, 0},  // a negative offset adds no years
       }) {
    const CalendarMinutes got =
        MinutesSince2000(static_cast<std::int8_t>(c.year), static_cast<std::int8_t>(c.month),
                         static_cast<std::int8_t>(c.day), static_cast<std::int8_t>(c.hour),
                         static_cast<std::int8_t>(c.minute));
    EXPECT_EQ(got.minutes, c.expected) << c.year << "/" << c.month << "/" << c.day;
    EXPECT_EQ(got.status, CalendarStatus::Ok);
  }
}

TEST(MinutesSince2000, BadMonthCountsAsJanuary) {
  for (const int month : {0, 30, 43, 127, -1}) {
    const CalendarMinutes got = MinutesSince2000(5, static_cast<std::int8_t>(month), 3, 4, 5);
    EXPECT_EQ(got.status, CalendarStatus::BadMonth) << month;
    EXPECT_EQ(got.minutes, MinutesSince2000(5, 31, 3, 4, 5).minutes) << month;
  }
}

TEST(MinutesSince2000, AgreesWithCivilCalendarOnEveryMonthStart) {
  for (int offset = 0; offset <= 127; ++offset) {
    for (unsigned month = 1; month <= 12; ++month) {
      const auto date = std::chrono::year{2000 + offset} / std::chrono::month{month} / 1;
      EXPECT_EQ(
          MinutesSince2000(static_cast<std::int8_t>(offset), monthCode(month), 1, 0, 0).minutes,
          referenceMinutes(date))
          << offset << "/" << month;
    }
  }
}

TEST(WeekdayCode, AgreesWithCivilCalendarForEveryDay) {
  const auto first = sys_days{std::chrono::year{2000} / 1 / 1};
  const auto last = sys_days{std::chrono::year{2127} / 12 / 31};
  for (auto day = first; day <= last; day += std::chrono::days{1}) {
    const year_month_day ymd{day};
    const int offset = static_cast<int>(ymd.year()) - 2000;
    const auto expected =
        static_cast<std::uint8_t>(kSunday + std::chrono::weekday{day}.c_encoding());
    ASSERT_EQ(WeekdayCode(offset, monthCode(static_cast<unsigned>(ymd.month())),
                          static_cast<std::int8_t>(static_cast<unsigned>(ymd.day()))),
              expected)
        << offset << "/" << static_cast<unsigned>(ymd.month()) << "/"
        << static_cast<unsigned>(ymd.day());
  }
}

TEST(WeekdayCode, ImpossibleDateGivesBadDate) {
  EXPECT_EQ(WeekdayCode(0, 31, -40), statusCode(CalendarStatus::BadDate));
}

TEST(RepeatPhase, GridPoints) {
  struct Case {
    int period, repeat;
    std::int32_t start, now, expected;
  };
  for (const Case& c : {
           Case{10, 1, 600, 1740, 300},   // grid point before midnight: next one
           Case{10, 1, 600, 2140, -100},  // grid point earlier today
           Case{19, 2, 600, 1450, -10},   // ten minutes after midnight
           Case{19, 3, 600, 1470, 30},    // 22:00 lies before midnight: 01:00 instead
           Case{10, 1, 600, 600, 0},      // exactly on the grid
           Case{10, 1, 2040, 600, 0},     // start a day ahead lies on the same grid
           Case{10, 2, 600, 0, 600},      // start in the future
           Case{18, 5, 0, 7, -2},         // a minute grid point 2 minutes ago
           Case{18, 5, 0, 1443, -3},      // 3 minutes after midnight, 3 ago
           Case{11, 1, 0, 1440 * 3 + 60, -60},
           Case{21, 1, 360, 1440 + 300, 60},
           Case{22, 1, 1080, 1440 + 1100, -20},
           Case{23, 7, 0, 1440, 1440 * 6},
           Case{17, 127, 0, 4321, 127 * 1440 - 4321},
       }) {
    const CalendarMinutes got = RepeatPhase(static_cast<std::int8_t>(c.period),
                                            static_cast<std::int8_t>(c.repeat), c.start, c.now);
    EXPECT_EQ(got.status, CalendarStatus::Ok);
    EXPECT_EQ(got.minutes, c.expected)
        << "period " << c.period << " x" << c.repeat << " start " << c.start << " now " << c.now;
  }
}

TEST(RepeatPhase, PeriodsWithoutLengthFail) {
  struct Case {
    int period, repeat;
  };
  for (const Case& c : {Case{20, 1}, Case{20, 5}, Case{9, 1}, Case{24, 1}, Case{0, 1}, Case{-10, 1},
                        Case{10, 0}, Case{18, -1}, Case{10, -128}}) {
    const CalendarMinutes got =
        RepeatPhase(static_cast<std::int8_t>(c.period), static_cast<std::int8_t>(c.repeat), 0, 10);
    EXPECT_EQ(got.status, CalendarStatus::BadPeriod) << c.period << " x" << c.repeat;
    EXPECT_EQ(got.minutes, 65535);
  }
}

}  // namespace
}  // namespace quillmar::planprobe
