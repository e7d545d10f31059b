// Sunrise and sunset by low-precision solar position formulas. The constants, pi included,
// are those of the unit's firmware, so that the results match the unit to the minute.
#include "calendar/solar.h"

#include <cmath>

namespace quillmar::planprobe {
namespace {

constexpr double kPi = 3.14159;
constexpr double kRad = kPi / 180.0;
constexpr double kSunDiameter = 0.53;
constexpr double kRefraction = 34.0 / 60.0;
constexpr double kHourAngleClamp = 0.99999;
constexpr double kEpochDays = 730531.5;

// True when the integer part of `value`, truncated toward zero, has a magnitude below `limit`.
// Not-a-number and infinities fail rather than reaching an undefined conversion.
bool integerPartBelow(float value, int limit) {
  return std::isfinite(value) && std::fabs(std::trunc(value)) < static_cast<float>(limit);
}

}  // namespace

std::uint8_t GetSiteParameters(float& latitude, float& longitude, std::int8_t& timeZone) {
  latitude = 0.0F;
  longitude = 0.0F;
  timeZone = 0;
  return 0;
}

SiteProvider ProviderFor(const SiteParameters& site) {
  return [site](float& latitude, float& longitude, std::int8_t& timeZone) {
    latitude = site.latitude;
    longitude = site.longitude;
    timeZone = site.timeZone;
    return std::uint8_t{0};
  };
}

bool IsValidSite(float latitude, float longitude, int timeZone) {
  return integerPartBelow(longitude, 181) && integerPartBelow(latitude, 91) &&
         std::abs(timeZone) < 14;
}

SolarResult SolarEventTime(std::uint8_t selector, const SolarDate& date,
                           const SiteProvider& provider) {
  // Presets just outside the valid ranges: a parameter the provider leaves unset fails.
  float latitude = 91.0F;
  float longitude = 181.0F;
  std::int8_t timeZone = 14;
  provider(latitude, longitude, timeZone);
  if (!IsValidSite(latitude, longitude, timeZone)) {
    return {CalendarStatus::BadGeographicalParams, {}};
  }
  return {CalendarStatus::Ok,
          SunriseSunset(selector, latitude, longitude, static_cast<float>(timeZone), date)};
}

ClockTime SunriseSunset(std::uint8_t selector, float latitude, float longitude, float timeZone,
                        const SolarDate& date) {
  const double d =
      SolarDayNumber(2000 + date.yearOffset, date.month, date.day, static_cast<float>(date.hour));
  const SunLongitudes sun = SunEclipticLongitude(d);
  const double obliquity = 23.439 * kRad - 0.0000004 * kRad * d;
  const double rightAscension =
      std::atan2(std::cos(obliquity) * std::sin(sun.ecliptic), std::cos(sun.ecliptic));
  const double declination = std::asin(std::sin(obliquity) * std::sin(sun.ecliptic));

  // Equation of time in minutes, from mean longitude against right ascension.
  double difference = sun.mean - rightAscension;
  if (sun.mean < kPi) {
    difference += 2.0 * kPi;
  }
  const double equationOfTime = 1440.0 * (1.0 - difference / kPi / 2.0);

  const double hourAngle = SunriseHourAngle(latitude, declination);
  // Evaluated term by term in this order, as the unit does, so truncation agrees with it.
  const double halfDay = 12.0 * hourAngle / kPi;
  const double start = selector != 0 ? 12.0 - halfDay : 12.0 + halfDay;
  double t = start - timeZone - longitude / 15.0 + equationOfTime / 60.0;
  if (t > 24.0) {
    t -= 24.0;
  } else if (t < 0.0) {
    // Only a site other than the fixed one gets here (a time zone far from its longitude, or
    // the Sun up all day): the time is wrapped into the day as one above 24 is, rather than
    // giving a negative hour or minute that no clock shows.
    t += 24.0;
  }
  const auto hour = static_cast<std::int8_t>(t);
  return {hour, static_cast<std::int8_t>((t - hour) * 60.0)};
}

double SolarDayNumber(int year, int month, int day, float hour) {
  const int n = 367 * year - 7 * (year + (month + 9) / 12) / 4 + 275 * month / 9 + day;
  return n - kEpochDays + hour / 24.0;
}

double NormalizeRadians(double angle) {
  const double turns = 0.5 * angle / kPi;
  double a = 2.0 * kPi * (turns - std::trunc(turns));
  if (a < 0.0) {
    a += 2.0 * kPi;
  }
  return a;
}

SunLongitudes SunEclipticLongitude(double d) {
  const double mean = NormalizeRadians(280.461 * kRad + 0.9856474 * kRad * d);
  const double anomaly = NormalizeRadians(357.528 * kRad + 0.9856003 * kRad * d);
  const double ecliptic = NormalizeRadians(mean + 1.915 * kRad * std::sin(anomaly) +
                                           0.02 * kRad * std::sin(2.0 * anomaly));
  return {ecliptic, mean};
}

double SunriseHourAngle(double latitude, double declination) {
  double k = (0.5 * kSunDiameter + kRefraction) * kRad;
  if (latitude < 0.0) {
    k = -k;
  }
  double f = std::tan(declination + k) * std::tan(latitude * kRad);
  if (f > kHourAngleClamp) {
    f = 1.0;
  } else if (f < -1.0) {
    f = -1.0;  // the Sun does not rise: sunrise and sunset meet at noon instead of failing
  }
  return std::asin(f) + kPi / 2.0;
}

}  // namespace quillmar::planprobe
