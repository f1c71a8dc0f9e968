// Solar position for CommonModel: the low-accuracy solar coordinates of Meeus,
// Astronomical Algorithms (chapters 25 and 28), in the form of the NOAA solar
// calculator, and an older 1900-based series.

#include <cmath>
#include <cstdint>
#include <limits>

#include "CommonModel.h"

namespace {

constexpr double kJ2000 = 2451545.0;         // Julian day of J2000.0
constexpr double kDaysPerCentury = 36525.0;  // Julian century
constexpr double kMinutesPerDay = 1440.0;

inline double rad(double degrees) { return degrees * CommonModel::DEG2RAD; }
inline double deg(double radians) { return radians * CommonModel::RAD2DEG; }

inline double clampUnit(double v) { return v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v); }

// Longitude of the moon's ascending node (simplified), degrees: drives the
// nutation terms of the apparent longitude and the obliquity.
inline double nodeLongitude(double t) { return 125.04 - 1934.136 * t; }

}  // namespace

// ---- Julian dates -----------------------------------------------------------------

double CommonModel::calcJulianDay(int year, int month, int day) {
  if (month <= 2) {
    year -= 1;
    month += 12;
  }
  const int a = year / 100;
  const int b = 2 - a + a / 4;
  return std::trunc(365.25 * (static_cast<double>(year) + 4716.0)) +
         std::trunc(30.6001 * (static_cast<double>(month) + 1.0)) + day + b - 1524.5;
}

double CommonModel::calcJulianCentury(double julianDay) {
  return (julianDay - kJ2000) / kDaysPerCentury;
}

// ---- Solar coordinates --------------------------------------------------------------

double CommonModel::calcSunGeometricMeanLongitude(double t) {
  double l0 = 280.46646 + t * (36000.76983 + 0.0003032 * t);
  // Into [0, 360]; fmod rather than a loop of subtractions, so a far date
  // cannot make it spin.
  if (l0 > 360.0 || l0 < 0.0) {
    l0 = std::fmod(l0, 360.0);
    if (l0 < 0.0) l0 += 360.0;
  }
  return l0;
}

double CommonModel::calcSunGeometricMeanAnomaly(double t) {
  return 357.52911 + t * (35999.05029 - 0.0001537 * t);
}

double CommonModel::calcEarthOrbitEccentricity(double t) {
  return 0.016708634 - t * (4.2037e-5 + 1.267e-7 * t);
}

double CommonModel::calcEquationOfSunCenter(double t) {
  const double m = rad(calcSunGeometricMeanAnomaly(t));
  return std::sin(m) * (1.914602 - t * (0.004817 + 1.4e-5 * t)) +
         std::sin(2.0 * m) * (0.019993 - 0.000101 * t) + std::sin(3.0 * m) * 0.000289;
}

double CommonModel::calcSunTrueLongitude(double t) {
  return calcSunGeometricMeanLongitude(t) + calcEquationOfSunCenter(t);
}

double CommonModel::calcSunApparentLongitude(double t) {
  return calcSunTrueLongitude(t) - 0.00569 - 0.00478 * std::sin(rad(nodeLongitude(t)));
}

double CommonModel::calcMeanObliquityOfEcliptic(double t) {
  const double seconds = 21.448 - t * (46.815 + t * (0.00059 - t * 0.001813));
  return 23.0 + (26.0 + seconds / 60.0) / 60.0;
}

double CommonModel::calcObliquityCorrection(double t) {
  return calcMeanObliquityOfEcliptic(t) + 0.00256 * std::cos(rad(nodeLongitude(t)));
}

double CommonModel::calcSunDeclination(double t) {
  const double epsilon = rad(calcObliquityCorrection(t));
  const double lambda = rad(calcSunApparentLongitude(t));
  return deg(std::asin(std::sin(epsilon) * std::sin(lambda)));
}

double CommonModel::calcEquationOfTime(double t) {
  const double epsilon = calcObliquityCorrection(t);
  const double l0 = rad(calcSunGeometricMeanLongitude(t));
  const double e = calcEarthOrbitEccentricity(t);
  const double m = rad(calcSunGeometricMeanAnomaly(t));
  double y = std::tan(rad(epsilon) / 2.0);
  y *= y;
  const double sinM = std::sin(m);
  const double radians = y * std::sin(2.0 * l0) - 2.0 * e * sinM +
                         4.0 * e * y * sinM * std::cos(2.0 * l0) -
                         0.5 * y * y * std::sin(4.0 * l0) - 1.25 * e * e * std::sin(2.0 * m);
  return 4.0 * deg(radians);
}

// ---- Refraction and sun angles ----------------------------------------------------------

double CommonModel::calcRefractionCorrection(double elevation) {
  if (elevation > 85.0) return 0.0;
  const double te = std::tan(rad(elevation));
  double arcSeconds;
  if (elevation > 5.0) {
    arcSeconds = 58.1 / te - 0.07 / (te * te * te) + 0.000086 / (te * te * te * te * te);
  } else if (elevation > -0.575) {
    arcSeconds =
        1735.0 +
        elevation * (-518.2 + elevation * (103.4 + elevation * (-12.79 + elevation * 0.711)));
  } else {
    arcSeconds = -20.774 / te;
  }
  return arcSeconds / 3600.0;
}

void CommonModel::calSunAngles(int year, int month, int day, int hour, int minute, int second,
                               double latitude, double longitude, double& azimuth,
                               double& elevation) {
  const double dayMinutes = hour * 60.0 + minute + second / 60.0;
  const double julianDay = calcJulianDay(year, month, day) + dayMinutes / kMinutesPerDay;
  const double t = calcJulianCentury(julianDay);

  // True solar time (minutes) and hour angle (degrees, negative before noon).
  double trueSolarTime = calcEquationOfTime(t) + 4.0 * longitude + dayMinutes;
  if (trueSolarTime > kMinutesPerDay) {
    // As repeated subtraction of whole days while above 1440: 1440 stays 1440.
    trueSolarTime -= kMinutesPerDay * std::ceil((trueSolarTime - kMinutesPerDay) / kMinutesPerDay);
  }
  double hourAngle = trueSolarTime / 4.0 - 180.0;
  if (hourAngle < -180.0) hourAngle += 360.0;

  const double declination = calcSunDeclination(t);
  const double sinLat = std::sin(rad(latitude)), cosLat = std::cos(rad(latitude));
  const double sinDec = std::sin(rad(declination)), cosDec = std::cos(rad(declination));

  const double cosZenith = clampUnit(cosLat * cosDec * std::cos(rad(hourAngle)) + sinLat * sinDec);
  const double zenith = deg(std::acos(cosZenith));

  const double denominator = cosLat * std::sin(rad(zenith));
  double az;
  if (std::fabs(denominator) > 0.001) {
    const double cosAz = clampUnit((sinLat * std::cos(rad(zenith)) - sinDec) / denominator);
    az = 180.0 - deg(std::acos(cosAz));
    if (hourAngle > 0.0) az = -az;
    if (az < 0.0) az += 360.0;
  } else {
    // Sun at the zenith or observer at a pole: azimuth undefined, choose due
    // south in the north and due north otherwise.
    az = latitude > 0.0 ? 180.0 : 0.0;
  }

  const double correction = calcRefractionCorrection(90.0 - zenith);
  azimuth = az;
  elevation = 90.0 - (zenith - correction);
}

// ---- 1900-based series ------------------------------------------------------------------

namespace {

constexpr int kDaysBeforeMonth[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

// Seconds of UT since 1961-01-01 00:00, in 64 bits (a 32-bit count would
// overflow on 2029-01-19). Only for year >= 1961, month 1..12, day 1..31.
// A negative hour, minute or second is left out.
std::int64_t secondsSince1961(int year, int month, int day, int hour, int minute, int second) {
  const int leap = (year % 4 == 0) ? 1 : 0;
  const std::int64_t days = (static_cast<std::int64_t>(year) - 1961) * 1461 / 4 +
                            kDaysBeforeMonth[leap][month - 1] + day - 1;
  std::int64_t s = days * 86400;
  if (hour >= 0) s += static_cast<std::int64_t>(hour) * 3600;
  if (minute >= 0) s += static_cast<std::int64_t>(minute) * 60;
  if (second >= 0) s += second;
  return s;
}

}  // namespace

void CommonModel::calcSunAngles(int year, int month, int day, int hour, int minute, int second,
                                double latitude, double longitude, double& azimuth,
                                double& elevation) {
  if (year < 1961 || month < 1 || month > 12 || day < 1 || day > 31) {
    azimuth = std::numeric_limits<double>::quiet_NaN();
    elevation = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  const std::int64_t s = secondsSince1961(year, month, day, hour, minute, second);
  const double seconds = static_cast<double>(s);

  // Julian centuries from 1900 January 0.5 (32083920 minutes before 1961).
  const double jc = (32083920.0 + seconds / 60.0) / 52596000.0;
  const double jc2 = jc * jc, jc3 = jc2 * jc;

  // Mean anomaly, node of the moon's orbit, obliquity, apparent longitude (radians).
  const double m = 6.25658352 + 628.30194573 * jc - 2.62e-6 * jc2 - 6e-8 * jc3;
  const double node = 4.52354 - 33.75715 * jc;
  const double epsilon =
      0.40931975 - 2.2711e-4 * jc - 3e-8 * jc2 + 1e-8 * jc3 + 4.468e-5 * std::cos(node);
  const double lambda = 4.88162797 + 628.3319509 * jc + 5.28e-6 * jc2 +
                        (0.0335009 - 8.358e-5 * jc - 2.4e-7 * jc2) * std::sin(m) +
                        (3.5071e-4 - 1.75e-6 * jc) * std::sin(2.0 * m) +
                        5.11e-6 * std::sin(3.0 * m) - 9.93e-5 - 8.36e-5 * std::sin(node);

  const double declination = std::asin(std::sin(epsilon) * std::sin(lambda));
  const double rightAscension = std::atan2(std::cos(epsilon) * std::sin(lambda), std::cos(lambda));

  // Greenwich sidereal time in seconds, then the local hour angle (radians).
  const double sidereal = std::fmod(
      std::fmod(23925.8362 + 8640184.543 * jc + 0.092916 * jc2, 86400.0) + seconds, 86400.0);
  const double hourAngle = sidereal * 7.2722052e-5 + longitude * DEG2RAD - rightAscension;
  const double lat = latitude * DEG2RAD;

  elevation = std::asin(std::cos(declination) * std::cos(lat) * std::cos(hourAngle) +
                        std::sin(declination) * std::sin(lat)) *
              RAD2DEG;
  // Azimuth counted westward from south, turned to clockwise from north.
  const double fromSouth =
      std::atan2(std::sin(hourAngle),
                 std::cos(hourAngle) * std::sin(lat) - std::cos(lat) * std::tan(declination)) *
      RAD2DEG;
  double az = fromSouth + 180.0;
  if (az >= 360.0) az -= 360.0;
  azimuth = az;
}
