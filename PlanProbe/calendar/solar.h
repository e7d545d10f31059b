// Sunrise and sunset at the unit's site, by low-precision solar position formulas, for the
// date and hour the caller gives. The site comes from a provider, so that other sites can be
// computed than the fixed one the program uses.
#pragma once

#include <cstdint>
#include <functional>

#include "calendar/calendar_status.h"

namespace quillmar::planprobe {

// Fills latitude (degrees, north positive), longitude (degrees, east positive) and time zone
// (hours local time lies behind universal time); returns 0. A provider may leave any unset.
using SiteProvider =
    std::function<std::uint8_t(float& latitude, float& longitude, std::int8_t& timeZone)>;

// The program's site: latitude 0.0, longitude 0.0, time zone 0.
std::uint8_t GetSiteParameters(float& latitude, float& longitude, std::int8_t& timeZone);

// A site as a user names it.
struct SiteParameters {
  float latitude;   // degrees, north positive
  float longitude;  // degrees, east positive
  std::int8_t timeZone;
};

// A provider that gives `site`.
SiteProvider ProviderFor(const SiteParameters& site);

// True when the site passes the unit's validation: the integer parts (truncated toward zero) of
// latitude within -90..90 and longitude within -180..180, and the time zone within -13..13.
bool IsValidSite(float latitude, float longitude, int timeZone);

// The date and hour a sunrise or sunset is worked out for.
struct SolarDate {
  int yearOffset;  // years since 2000
  int month;       // 1..12
  int day;
  int hour;  // 0..23; the minute does not matter
};

// A local clock time as the event's hour and minute fields receive it.
struct ClockTime {
  std::int8_t hour;
  std::int8_t minute;
};

// Outcome of SolarEventTime: `time` is meaningful only when `status` is Ok.
struct SolarResult {
  CalendarStatus status;
  ClockTime time;
};

// Sunrise (selector non-zero) or sunset (0) on `date` at the provider's site. A site outside
// latitude -90..90, longitude -180..180 or time zone -13..13 (integer parts) gives
// BadGeographicalParams, so the caller leaves its fields untouched.
SolarResult SolarEventTime(std::uint8_t selector, const SolarDate& date,
                           const SiteProvider& provider = GetSiteParameters);

// The sunrise or sunset time at a site; timeZone in hours behind universal time.
ClockTime SunriseSunset(std::uint8_t selector, float latitude, float longitude, float timeZone,
                        const SolarDate& date);

// Days since 12:00 on 1 January 2000 at the given calendar year, month, day and hour.
double SolarDayNumber(int year, int month, int day, float hour);

// `angle` in radians brought into 0..2 pi.
double NormalizeRadians(double angle);

// The Sun's ecliptic longitude and its mean longitude, both in radians.
struct SunLongitudes {
  double ecliptic;
  double mean;
};

// The Sun's longitudes at day number `d` (days since J2000.0).
SunLongitudes SunEclipticLongitude(double d);

// Hour angle in radians of the Sun's upper limb at the horizon, refraction included, at
// `latitude` degrees for a declination in radians; pi when the Sun does not set, about 0
// when it does not rise.
double SunriseHourAngle(double latitude, double declination);

}  // namespace quillmar::planprobe
