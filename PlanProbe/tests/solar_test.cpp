#include "calendar/solar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace quillmar::planprobe {
namespace {

struct Site {
  float latitude;
  float longitude;
  std::int8_t timeZone;
};

SiteProvider fixedSite(Site site) {
  return [site](float& latitude, float& longitude, std::int8_t& timeZone) {
    latitude = site.latitude;
    longitude = site.longitude;
    timeZone = site.timeZone;
    return std::uint8_t{0};
  };
}

TEST(SolarEventTime, KnownSitesAndDates) {
  struct Case {
    Site site;
    SolarDate date;
    int riseHour, riseMinute, setHour, setMinute;
  };
  const Site home{0.0F, 0.0F, 0};
  for (const Case& c : {
           Case{home, {2, 7, 24, 0}, 6, 6, 18, 6},
           Case{home, {2, 2, 11, 0}, 6, 14, 18, 14},
           Case{home, {2, 11, 3, 0}, 5, 43, 17, 43},
           Case{{40.0F, -75.0F, 5}, {2, 7, 24, 0}, 4, 52, 19, 20},
           Case{{51.5F, 0.0F, 0}, {2, 3, 20, 12}, 6, 3, 18, 11},
           Case{{51.5F, 0.0F, 0}, {2, 3, 20, 0}, 6, 5, 18, 10},
           Case{{-33.9F, 18.4F, -2}, {2, 7, 24, 0}, 7, 46, 17, 59},
       }) {
    const SolarResult rise = SolarEventTime(1, c.date, fixedSite(c.site));
    const SolarResult set = SolarEventTime(0, c.date, fixedSite(c.site));
    ASSERT_EQ(rise.status, CalendarStatus::Ok);
    ASSERT_EQ(set.status, CalendarStatus::Ok);
    const auto where = testing::Message() << c.site.latitude << "," << c.site.longitude << " on "
                                          << c.date.month << "/" << c.date.day;
    EXPECT_EQ(rise.time.hour, c.riseHour) << where;
    EXPECT_EQ(rise.time.minute, c.riseMinute) << where;
    EXPECT_EQ(set.time.hour, c.setHour) << where;
    EXPECT_EQ(set.time.minute, c.setMinute) << where;
  }
}

TEST(SolarEventTime, FarNorthSunrise) {
  const SolarResult rise = SolarEventTime(1, {2, 6, 21, 0}, fixedSite({60.0F, 10.0F, -1}));
  ASSERT_EQ(rise.status, CalendarStatus::Ok);
  EXPECT_EQ(rise.time.hour, 2);
  EXPECT_EQ(rise.time.minute, 56);
}

TEST(SolarEventTime, PolarNightMeetsAtNoon) {
  const SolarResult rise = SolarEventTime(1, {2, 12, 21, 0}, fixedSite({80.0F, 0.0F, 0}));
  const SolarResult set = SolarEventTime(0, {2, 12, 21, 0}, fixedSite({80.0F, 0.0F, 0}));
  ASSERT_EQ(rise.status, CalendarStatus::Ok);
  EXPECT_EQ(rise.time.hour, set.time.hour);
  EXPECT_EQ(rise.time.minute, set.time.minute);
  EXPECT_EQ(rise.time.hour, 11);
}

TEST(SolarEventTime, DefaultProviderIsTheEquator) {
  const SolarResult rise = SolarEventTime(7, {2, 7, 24, 0});
  ASSERT_EQ(rise.status, CalendarStatus::Ok);
  EXPECT_EQ(rise.time.hour, 6);
  EXPECT_EQ(rise.time.minute, 6);
}

TEST(SolarEventTime, SiteValidation) {
  struct Case {
    Site site;
    bool valid;
  };
  for (const Case& c : {
           Case{{90.9F, 0.0F, 0}, true},
           Case{{-90.9F, 0.0F, 0}, true},
           Case{{91.0F, 0.0F, 0}, false},
           Case{{-91.0F, 0.0F, 0}, false},
           Case{{0.0F, -180.5F, 0}, true},
           Case{{0.0F, 180.9F, 0}, true},
           Case{{0.0F, 181.0F, 0}, false},
           Case{{0.0F, -181.0F, 0}, false},
           Case{{0.0F, 0.0F, 13}, true},
           Case{{0.0F, 0.0F, -13}, true},
           Case{{0.0F, 0.0F, 14}, false},
           Case{{0.0F, 0.0F, -14}, false},
           Case{{0.0F, 0.0F, -128}, false},
           Case{{1e30F, 0.0F, 0}, false},
           Case{{0.0F, -INFINITY, 0}, false},
           Case{{NAN, 0.0F, 0}, false},
       }) {
    const SolarResult got = SolarEventTime(1, {2, 7, 24, 0}, fixedSite(c.site));
    EXPECT_EQ(got.status, c.valid ? CalendarStatus::Ok : CalendarStatus::BadGeographicalParams)
        << c.site.latitude << "," << c.site.longitude << "," << int{c.site.timeZone};
  }
}

TEST(SolarEventTime, ParameterLeftUnsetFails) {
  using Setter = void (*)(float&, float&, std::int8_t&);
  for (const Setter partial : {
           Setter{[](float&, float&lon, std::int8_t&tz) { lon = 0.0F, tz = 0; }},
           Setter{[](float&lat, float&, std::int8_t&tz) { lat = 0.0F, tz = 0; }},
           Setter{[](float&lat, float&lon, std::int8_t&) { lat = 0.0F, lon = 0.0F; }},
       }) {
    const SiteProvider provider = [partial](float& lat, float& lon, std::int8_t& tz) {
      partial(lat, lon, tz);
      return std::uint8_t{0};
    };
    EXPECT_EQ(SolarEventTime(1, {2, 7, 24, 0}, provider).status,
              CalendarStatus::BadGeographicalParams);
  }
}

}  // namespace
}  // namespace quillmar::planprobe
