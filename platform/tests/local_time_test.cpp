// The local clock for fixed moments in fixed zones: a UTC reading alone could not tell local
// time from UTC, so one zone lies east of it.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/local_time.h"
#include "platform/tests/scoped_variable.h"

namespace quillmar::platform {
namespace {

// Has the runtime read TZ again.
void readZone() {
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif
}

TEST(LocalTime, FixedMomentsInFixedZones) {
  const struct {
    const char* zone;  // the same form on both systems: name, hours west of UTC
    std::time_t when;
    int year, month, day, hour, minute, second, weekday, yearDay;
  } cases[] = {
      {"UTC0", 0, 1970, 1, 1, 0, 0, 0, 4, 0},
      {"UTC0", 1700000000, 2023, 11, 14, 22, 13, 20, 2, 317},
      {"UTC0", 1709208000, 2024, 2, 29, 12, 0, 0, 4, 59},
      {"CET-1", 1700000000, 2023, 11, 14, 23, 13, 20, 2, 317},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.when));
    const ScopedVariable zone("TZ", c.zone);
    readZone();
    const std::tm local = localTime(c.when);
    EXPECT_EQ(local.tm_year + 1900, c.year);
    EXPECT_EQ(local.tm_mon + 1, c.month);
    EXPECT_EQ(local.tm_mday, c.day);
    EXPECT_EQ(local.tm_hour, c.hour);
    EXPECT_EQ(local.tm_min, c.minute);
    EXPECT_EQ(local.tm_sec, c.second);
    EXPECT_EQ(local.tm_wday, c.weekday);
    EXPECT_EQ(local.tm_yday, c.yearDay);
  }
  readZone();
}

}  // namespace
}  // namespace quillmar::platform
