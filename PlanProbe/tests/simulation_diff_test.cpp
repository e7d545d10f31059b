// The fast loop against the plain minute-by-minute loop, on generated schedules and spans:
// both must write the same log and show the same console text, byte for byte.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "calendar/calendar.h"
#include "tests/session_test_support.h"
#include "tests/simulation_test_support.h"

#ifndef PLANPROBE_DIFF_CASES
#define PLANPROBE_DIFF_CASES 1000
#endif
#ifndef PLANPROBE_DIFF_MAX_SPAN
#define PLANPROBE_DIFF_MAX_SPAN 6000
#endif

namespace quillmar::planprobe {
namespace {

using testing::makeEvent;
using testing::setEnd;
using testing::setParam;
using testing::setValueParam;
using testing::SimRun;

struct Date {
  int month, day, year;
};

int monthLength(int month, int year) {
  static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[month - 1];
}

// The date `days` days after (or before) `from`, within the years 2000..2099.
Date shifted(Date from, int days) {
  for (; days > 0; --days) {
    if (++from.day > monthLength(from.month, from.year)) {
      from.day = 1;
      if (++from.month > 12) {
        from.month = 1;
        from.year = (from.year + 1) % 100;
      }
    }
  }
  for (; days < 0; ++days) {
    if (--from.day < 1) {
      if (--from.month < 1) {
        from.month = 12;
        from.year = (from.year + 99) % 100;
      }
      from.day = monthLength(from.month, from.year);
    }
  }
  return from;
}

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(int percent) { return pick(1, 100) <= percent; }

  // A start for the run: often at a month's or year's end, sometimes an unchecked value.
  Date runDate() {
    if (chance(30)) {
      const int month = pick(1, 12);
      const int year = pick(0, 8);
      return {month, monthLength(month, year) - pick(0, 2), year};
    }
    if (chance(3)) {
      return {pick(0, 1) == 0 ? 0 : 13, pick(0, 31), pick(0, 5)};
    }
    const int month = pick(1, 12);
    const int year = pick(0, 99);
    return {month, pick(1, monthLength(month, year)), year};
  }

  ScheduleEvent event(Date runStart, int runHour, int runMinute) {
    const int kind = chance(5) ? pick(0, 1) * 60 : pick(SENDSTRING, DEFAULTWEBPAGE);
    const bool realDate = runStart.month >= 1 && runStart.month <= 12;
    Date start = runStart;
    if (realDate) {
      start = shifted(runStart, chance(50) ? pick(-3, 2) : pick(-40, 3));
    }
    const auto [hour, minute] = timeOfDay(runHour, runMinute);
    ScheduleEvent e = chance(4) ? makeEvent(static_cast<uint8_t>(kind), 0, 0, 0, hour, minute)
                                : makeEvent(static_cast<uint8_t>(kind), start.month, start.day,
                                            start.year, hour, minute);
    if (chance(3)) {
      e.startMonth = 30;  // a written month of 00
    }
    if (chance(8)) {
      e.startHour = static_cast<uint8_t>(runHour);
      e.startMinute = static_cast<uint8_t>(runMinute);
      e.flags = BOOT_START;
    }
    fillParams(e);
    fillRepeat(e);
    if (chance(20)) {
      const Date end = realDate ? shifted(runStart, pick(-2, 4)) : runStart;
      const auto [endHour, endMinute] =
          chance(40) ? std::pair<int, int>{hour, minute} : timeOfDay(runHour, runMinute);
      setEnd(e, end.month, end.day, end.year, endHour, endMinute);
      if (chance(5)) {
        e.endMonth = 30;
      }
    }
    if (chance(2)) {
      e.flags |= HAS_SET;  // a class the rules do not know
    }
    return e;
  }

  // A time of day, often one where rules meet: the run's start, midnight, the day's last minute.
  std::pair<int, int> timeOfDay(int runHour, int runMinute) {
    const int choice = pick(1, 100);
    if (choice <= 25 && runHour < 24 && runMinute < 60) {
      return {runHour, runMinute};
    }
    if (choice <= 40) {
      return {23, 59};
    }
    if (choice <= 55) {
      return {0, 0};
    }
    if (choice <= 65 && runHour < 24 && runMinute < 57) {
      return {runHour, runMinute + pick(0, 3)};
    }
    return {pick(0, 23), pick(0, 59)};
  }

 private:
  void fillParams(ScheduleEvent& e) {
    for (int i = 0; i < 4; ++i) {
      if (chance(70)) {
        if (chance(50)) {
          setValueParam(e, i, static_cast<uint8_t>(pick(0, 255)));
        } else {
          setParam(e, i, std::string(static_cast<size_t>(pick(0, 6)), 'a' + pick(0, 25)));
        }
      }
    }
  }

  void fillRepeat(ScheduleEvent& e) {
    if (chance(25)) {
      return;  // one-shot
    }
    static constexpr int kPeriods[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 18,
                                       18, 19, 19, 20, 21, 22, 23, 5,  30};
    e.period = static_cast<int8_t>(kPeriods[pick(0, std::size(kPeriods) - 1)]);
    const int repeatLimit = e.period == PERIOD_MINUTE ? 40 : 4;
    e.repeat = static_cast<int8_t>(chance(4) ? pick(-3, 0) : pick(1, repeatLimit));
    if (chance(20)) {
      e.set = static_cast<int8_t>(chance(5) ? 45 : pick(SET_MONTH, SET_DECEMBER));
      e.repeat = static_cast<int8_t>(pick(1, isWeekday(e.period) ? 5 : 31));
    }
  }

  static bool isWeekday(int period) { return period >= 11 && period <= 17; }

  std::mt19937 random_;
};

TEST(SimulationDiff, FastLoopWritesWhatThePlainLoopWrites) {
  for (uint32_t seed = 1; seed <= PLANPROBE_DIFF_CASES; ++seed) {
    Generator g(seed);
    const Date date = g.runDate();
    int hour = g.pick(0, 23);
    int minute = g.pick(0, 59);
    if (g.chance(3)) {
      hour = 99;
      minute = 99;
    } else if (g.chance(3)) {
      hour = g.pick(24, 40);
    }
    std::vector<ScheduleEvent> events;
    const int count = g.pick(0, 8);
    for (int i = 0; i < count; ++i) {
      events.push_back(g.event(date, hour, minute));
    }
    const uint32_t span = g.chance(10) ? static_cast<uint32_t>(g.pick(0, 120))
                                       : static_cast<uint32_t>(g.pick(1, PLANPROBE_DIFF_MAX_SPAN));
    const bool loadsOnly = g.chance(10);
    const bool stopOnErrors = g.chance(15);
    const bool analysisErrors = stopOnErrors && g.chance(30);
    const int missingAtReload = g.chance(5) ? g.pick(1, 3) : 0;

    std::string logs[2];
    std::string consoles[2];
    for (int fast = 0; fast < 2; ++fast) {
      SimRun run(events, date.month, date.day, date.year, hour, minute, span);
      run.options.loadsOnly = loadsOnly;
      run.options.stopOnErrors = stopOnErrors;
      run.missingAtReload = missingAtReload;
      logs[fast] = run.run(fast == 1, analysisErrors);
      consoles[fast] = run.console();
    }
    ASSERT_EQ(logs[1], logs[0]) << "seed " << seed;
    ASSERT_EQ(consoles[1], consoles[0]) << "seed " << seed;
  }
}

// Long spans with a plain schedule: month ends, leap days and year ends go by many times.
TEST(SimulationDiff, LongSpansAgree) {
  for (uint32_t seed = 1000; seed < 1000 + PLANPROBE_DIFF_CASES / 40; ++seed) {
    Generator g(seed);
    const Date date{g.pick(1, 12), 1, g.pick(0, 8)};
    std::vector<ScheduleEvent> events;
    for (int i = 0; i < 6; ++i) {
      ScheduleEvent e = g.event(date, 0, 0);
      if (e.startMonth < 31 || e.endMonth == 30 || (e.flags & HAS_SET) != 0) {
        continue;  // reported every minute: long, but nothing new
      }
      events.push_back(e);
    }
    std::string logs[2];
    for (int fast = 0; fast < 2; ++fast) {
      SimRun run(events, date.month, date.day, date.year, 0, 0, PLANPROBE_DIFF_MAX_SPAN * 20);
      logs[fast] = run.run(fast == 1);
    }
    ASSERT_EQ(logs[1], logs[0]) << "seed " << seed;
  }
}

// A schedule file's text: event lines of every field kind, with faulty lines among them.
std::string scheduleText(Generator& g, Date runStart, int lines) {
  static constexpr const char* kPeriods[] = {"DAY",     "SUNDAY", "MON",  "TUE",    "WED",  "THU",
                                             "FRI",     "SAT",    "MIN",  "MINUTE", "HOUR", "YEAR",
                                             "SUNRISE", "SUNSET", "BOOT", "DAYS"};
  static constexpr const char* kKinds[] = {"SENDSTRING", "STARTSEQUENCE", "STOP",
                                           "RESET",      "PAUSE",         "SETVAREQ",
                                           "ON",         "OFF",           "DEFAULTWEBPAGE"};
  static constexpr const char* kSets[] = {"MONTH", "JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL",   "AUG", "SEP", "OCT", "NOV", "DEC", "XYZ"};
  auto two = [](int value) { return (value < 10 ? "0" : "") + std::to_string(value); };
  std::string text;
  for (int i = 0; i < lines; ++i) {
    if (g.chance(5)) {
      text += "; a comment\n";
      continue;
    }
    const Date start = shifted(runStart, g.chance(60) ? g.pick(-3, 2) : g.pick(-60, 3));
    const auto [hour, minute] = g.timeOfDay(0, 0);
    if (!g.chance(5)) {
      text += "D:" + two(start.month) + "." + two(start.day) + "." + two(start.year) + " ";
    }
    // Now and then a second time field overrides the first, words and digits mixed.
    for (int field = g.chance(10) ? 2 : 1; field > 0; --field) {
      const int time = g.pick(1, 100);
      text += time <= 8    ? "T:BOOT "
              : time <= 14 ? "T:SUNRISE "
              : time <= 20 ? "T:SUNSET "
              : time <= 22 ? "T:24:00 "
                           : "T:" + two(hour) + ":" + two(minute) + " ";
    }
    if (g.chance(70)) {
      text += std::string("P:") + kPeriods[g.pick(0, std::size(kPeriods) - 1)] + " ";
      if (g.chance(95)) {
        text += "R:" + std::to_string(g.chance(50) ? g.pick(1, 3) : g.pick(1, 40)) + " ";
      }
      if (g.chance(15)) {
        text += std::string("S:") + kSets[g.pick(0, std::size(kSets) - 1)] + " ";
      }
    }
    if (g.chance(20)) {
      const Date end = shifted(runStart, g.pick(-2, 4));
      const auto [endHour, endMinute] = g.timeOfDay(hour, minute);
      text += "A:" + two(end.month) + "." + two(end.day) + "." + two(end.year) + " I:" +
              (g.chance(15) ? (g.chance(50) ? "SUNRISE" : "SUNSET")
                            : two(endHour) + ":" + two(endMinute)) +
              " ";
    }
    text += std::string("E:") + kKinds[g.pick(0, std::size(kKinds) - 1)] + " ";
    text += g.chance(50) ? "1:" + std::to_string(g.pick(0, 255)) : "1:\"abc\" 2:\"OK\" 3:2 4:9";
    text += "\n";
  }
  return text;
}

// Schedule files through the parser: boot and sun times, sets, end dates, faulty lines.
TEST(SimulationDiff, ScheduleFilesAgree) {
  for (uint32_t seed = 5000; seed < 5000 + PLANPROBE_DIFF_CASES / 4; ++seed) {
    Generator g(seed);
    const int month = g.pick(1, 12);
    const int year = g.pick(0, 20);
    const Date date{month, g.chance(30) ? monthLength(month, year) : g.pick(1, 28), year};
    testing::ScratchDir dir;
    const std::string schedule = dir.file("schedule.txt");
    testing::writeFile(schedule, scheduleText(g, date, g.pick(1, 12)));
    const int hour = g.pick(0, 23);
    const int minute = g.pick(0, 59);
    const auto span = static_cast<uint32_t>(g.pick(1, PLANPROBE_DIFF_MAX_SPAN));
    const bool loadsOnly = g.chance(10);
    const bool stopOnErrors = g.chance(10);
    std::string logs[2];
    for (int fast = 0; fast < 2; ++fast) {
      testing::ScheduleFileRun run(schedule, std::make_unique<StringSink>(logs[fast]), date.month,
                                   date.day, date.year, hour, minute, span);
      run.options.loadsOnly = loadsOnly;
      run.options.stopOnErrors = stopOnErrors;
      run.run(fast == 1);
    }
    ASSERT_EQ(logs[1], logs[0]) << "seed " << seed;
  }
}

// A schedule file that is edited, restored or removed between daily reloads: every reload
// must read what the file holds at that moment, however often its text was seen before.
TEST(SimulationDiff, ChangingScheduleFilesAgree) {
  for (uint32_t seed = 7000; seed < 7000 + PLANPROBE_DIFF_CASES / 8; ++seed) {
    Generator g(seed);
    const int month = g.pick(1, 12);
    const int year = g.pick(0, 20);
    const Date date{month, g.pick(1, 28), year};
    const std::string texts[2] = {scheduleText(g, date, g.pick(1, 8)),
                                  scheduleText(g, date, g.pick(1, 8))};
    // Per reload: 0 or 1 writes that text, 2 removes the file, 3 leaves it as it is.
    std::vector<int> edits;
    for (int i = 0; i < 8; ++i) {
      edits.push_back(g.chance(10) ? 2 : g.pick(0, 3) == 3 ? 3 : g.pick(0, 1));
    }
    const bool sameSize = g.chance(30);  // an edit that keeps the file's size
    const int hour = g.pick(0, 23);
    const auto span = static_cast<uint32_t>(g.pick(1440, 8 * 1440));
    testing::ScratchDir dir;
    const std::string schedule = dir.file("schedule.txt");
    std::string logs[2];
    for (int fast = 0; fast < 2; ++fast) {
      testing::writeFile(schedule, texts[0]);
      testing::ScheduleFileRun run(schedule, std::make_unique<StringSink>(logs[fast]), date.month,
                                   date.day, date.year, hour, 0, span);
      run.beforeReload = [&](int reload) {
        const int edit = edits[static_cast<size_t>(reload) % edits.size()];
        if (edit == 2) {
          std::remove(schedule.c_str());
        } else if (edit != 3) {
          std::string text = texts[edit];
          if (sameSize) {
            text.resize(texts[0].size(), ';');
          }
          testing::writeFile(schedule, text);
        }
      };
      run.run(fast == 1);
    }
    ASSERT_EQ(logs[1], logs[0]) << "seed " << seed;
  }
}

// A file whose last change lies a few seconds back is taken as unchanged while its stamp is,
// and reloaded without being read. Each way of changing it afterwards must still be seen at
// the next reload: an edit that keeps its size, another file of the same size and write time
// put in its place, its removal.
TEST(SimulationDiff, ChangesToASettledScheduleFileAreSeen) {
  namespace fs = std::filesystem;
  Generator g(9000);
  const Date date{3, 10, 5};
  std::string texts[2] = {scheduleText(g, date, 6), scheduleText(g, date, 6)};
  const size_t size = std::max(texts[0].size(), texts[1].size());
  for (std::string& text : texts) {
    text.resize(size, ';');  // a comment at the end
  }
  struct Scenario {
    const char* name;
    std::function<void(const std::string& schedule, const std::string& other)> change;
  };
  const Scenario scenarios[] = {
      {"edited in place", [&](const std::string& schedule,
                              const std::string&) { testing::writeFile(schedule, texts[1]); }},
      {"replaced by another file",
       [](const std::string& schedule, const std::string& other) {
         fs::last_write_time(other, fs::last_write_time(schedule));
         fs::rename(other, schedule);
       }},
      {"removed", [](const std::string& schedule, const std::string&) { fs::remove(schedule); }},
  };
  const int changedAtReload = 3;
  const auto prepare = [&](const testing::ScratchDir& dir) {
    testing::writeFile(dir.file("schedule.txt"), texts[0]);
    testing::writeFile(dir.file("other.txt"), texts[1]);
  };
  const auto run = [&](const Scenario& scenario, const testing::ScratchDir& dir, bool fast) {
    std::string log;
    testing::ScheduleFileRun simulation(dir.file("schedule.txt"), std::make_unique<StringSink>(log),
                                        date.month, date.day, date.year, 12, 0, 8 * 1440);
    simulation.beforeReload = [&](int reload) {
      if (reload == changedAtReload) {
        scenario.change(dir.file("schedule.txt"), dir.file("other.txt"));
      }
    };
    simulation.run(fast);
    return log;
  };
  // The fast runs go first, on files that have settled.
  std::vector<std::unique_ptr<testing::ScratchDir>> dirs;
  for (size_t i = 0; i < std::size(scenarios); ++i) {
    dirs.push_back(std::make_unique<testing::ScratchDir>());
    prepare(*dirs.back());
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2200));
  for (size_t i = 0; i < std::size(scenarios); ++i) {
    const std::string fast = run(scenarios[i], *dirs[i], true);
    prepare(*dirs[i]);
    EXPECT_EQ(fast, run(scenarios[i], *dirs[i], false)) << scenarios[i].name;
  }
}

}  // namespace
}  // namespace quillmar::planprobe
