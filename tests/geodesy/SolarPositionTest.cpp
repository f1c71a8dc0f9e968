// Sun position of CommonModel against published values.

#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/CommonModel.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Difference of two azimuths in degrees, across north.
double azimuthDifference(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return std::fabs(d);
}

// Azimuth error in degrees. Within 5 degrees of the zenith a tiny offset of
// the sun turns its azimuth a lot, so there the error is measured as an arc
// on the sky (azimuth difference times cos elevation).
double azimuthError(double azimuth, double reference, double elevation) {
  const double d = azimuthDifference(azimuth, reference);
  return elevation > 85 ? d * std::cos(elevation * kPi / 180) : d;
}

struct SunCase {
  const char* place;
  int year, month, day, hour, minute, second;  // UT
  double latitude, longitude;                  // degrees, east positive
  double azimuth, elevation;                   // reference, degrees
  double trueElevation;                        // unrefracted reference (for the branch)
};

// Reference positions from PyEphem 4.1.4 (libastro, VSOP87 theory; Debian
// python3-ephem), apparent topocentric, with refraction for 1010 hPa and 10 C:
//   o = ephem.Observer(); o.lat, o.lon = str(lat), str(lon); o.date = "Y/M/D h:m:s"
//   o.pressure, o.temp = 1010, 10; s = ephem.Sun(o); degrees(s.az), degrees(s.alt)
// and with o.pressure = 0 for the unrefracted elevation. PyEphem keeps
// refracting below the horizon where the solar-calculator refraction tapers
// off, so the deep-night case (true elevation -31.8, PyEphem refraction 0)
// stands for the lowest branch.
const SunCase kEphemCases[] = {
    {"Greenwich, June solstice noon", 2015, 6, 21, 12, 0, 0, 51.4769, -0.0005, 179.15914, 61.96304,
     61.95445},
    {"Sydney, December solstice", 2020, 12, 21, 2, 0, 0, -33.8688, 151.2093, 351.51279, 79.46666,
     79.46366},
    {"Singapore, equinox, near the zenith", 2021, 3, 20, 5, 5, 0, 1.3521, 103.8198, 128.33102,
     87.70074, 87.70009},
    {"Buenos Aires, morning", 2010, 9, 1, 10, 30, 0, -34.6037, -58.3816, 78.04693, 2.96515,
     2.72538},
    {"Anchorage, just after sunrise", 2019, 12, 21, 19, 30, 0, 61.2181, -149.9003, 146.55731,
     0.70410, 0.26175},
    {"Anchorage, centre below the horizon", 2019, 12, 21, 19, 22, 0, 61.2181, -149.9003, 144.80505,
     0.23929, -0.28095},
    {"Tokyo, night", 2022, 7, 15, 14, 0, 0, 35.6762, 139.6503, 347.00303, -31.76802, -31.76802},
    {"Madrid, afternoon", 2035, 8, 10, 16, 45, 0, 40.4168, -3.7038, 266.80170, 27.99753, 27.96718},
    {"Honolulu", 1975, 2, 3, 23, 10, 0, 21.3069, -157.8583, 189.59164, 51.73814, 51.72542},
    {"Wellington", 2029, 1, 19, 3, 14, 8, -41.2865, 174.7762, 288.89766, 49.79790, 49.78427},
};

}  // namespace

// Meeus, Astronomical Algorithms (2nd ed.), chapter 7 and table of Julian days.
TEST(JulianDay, PublishedDates) {
  struct Case {
    int year, month, day;
    double jd;
  } cases[] = {
      {2000, 1, 1, 2451544.5},
      {1999, 1, 1, 2451179.5},
      {1987, 1, 27, 2446822.5},
      {1988, 1, 27, 2447187.5},
      {1900, 1, 1, 2415020.5},
      {1600, 1, 1, 2305447.5},
      {1957, 10, 4, 2436115.5},
      // January and February count as months 13 and 14 of the year before.
      {1999, 2, 28, 2451237.5},
      {2000, 2, 29, 2451603.5},
      {2000, 3, 1, 2451604.5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommonModel::calcJulianDay(c.year, c.month, c.day), c.jd)
        << c.year << "-" << c.month << "-" << c.day;
  }
  EXPECT_EQ(CommonModel::calcJulianCentury(2451545.0), 0.0);
}

// Meeus, Astronomical Algorithms, example 25.a (the sun on 1992 October 13.0,
// low-accuracy method) and example 28.b (equation of time, formula 28.3).
TEST(SolarCoordinates, MeeusWorkedExample) {
  const double t = CommonModel::calcJulianCentury(2448908.5);
  EXPECT_NEAR(t, -0.072183436, 1e-9);
  EXPECT_NEAR(CommonModel::calcSunGeometricMeanLongitude(t), 201.80720, 1e-5);
  EXPECT_NEAR(CommonModel::calcSunGeometricMeanAnomaly(t), -2241.00603, 1e-5);
  EXPECT_NEAR(CommonModel::calcEarthOrbitEccentricity(t), 0.016711668, 1e-9);
  EXPECT_NEAR(CommonModel::calcEquationOfSunCenter(t), -1.89732, 1e-5);
  EXPECT_NEAR(CommonModel::calcSunTrueLongitude(t), 199.90988, 1e-5);
  EXPECT_NEAR(CommonModel::calcSunApparentLongitude(t), 199.90895, 1e-5);
  EXPECT_NEAR(CommonModel::calcMeanObliquityOfEcliptic(t), 23.44023, 1e-5);
  EXPECT_NEAR(CommonModel::calcObliquityCorrection(t), 23.43999, 1e-5);
  EXPECT_NEAR(CommonModel::calcSunDeclination(t), -7.78507, 1e-5);
  EXPECT_NEAR(CommonModel::calcEquationOfTime(t), 13.711, 0.002);  // 13 min 42.7 s
}

// NREL Solar Position Algorithm (Reda and Andreas, NREL/TP-560-34302), its
// worked example: 2003-10-17 12:30:30 local time at UTC-7, 39.742476 N,
// 105.1786 W: topocentric zenith 50.11162 (refraction at 820 hPa, 11 C),
// azimuth 194.34024.
TEST(SunAngles, NrelSolarPositionAlgorithmExample) {
  double azimuth = 0, elevation = 0;
  CommonModel::calSunAngles(2003, 10, 17, 19, 30, 30, 39.742476, -105.1786, azimuth, elevation);
  EXPECT_NEAR(azimuth, 194.34024, 0.05);
  EXPECT_NEAR(elevation, 90 - 50.11162, 0.05);
}

TEST(SunAngles, AgreeWithEphemerisWithinFiveHundredthsOfADegree) {
  bool branch[4] = {false, false, false, false};  // > 85, (5, 85], (-0.575, 5], <= -0.575
  for (const SunCase& c : kEphemCases) {
    SCOPED_TRACE(c.place);
    double azimuth = -1, elevation = -1;
    CommonModel::calSunAngles(c.year, c.month, c.day, c.hour, c.minute, c.second, c.latitude,
                              c.longitude, azimuth, elevation);
    EXPECT_LT(azimuthError(azimuth, c.azimuth, c.elevation), 0.05) << azimuth;
    EXPECT_NEAR(elevation, c.elevation, 0.05);
    EXPECT_GE(azimuth, 0.0);
    EXPECT_LT(azimuth, 360.0);
    const double e0 = c.trueElevation;
    branch[e0 > 85 ? 0 : e0 > 5 ? 1 : e0 > -0.575 ? 2 : 3] = true;
  }
  for (bool covered : branch) EXPECT_TRUE(covered);
}

// Saemundsson's refraction for a true altitude h (Meeus, Astronomical
// Algorithms, eq. 16.4, standard 1010 hPa and 10 C): 1.02 / tan(h + 10.3 / (h
// + 5.11)) arc-minutes. The solar-calculator correction follows it within a
// few thousandths of a degree from just below the horizon to 85 degrees.
TEST(Refraction, FollowsSaemundssonAcrossTheBranches) {
  for (double h : {-0.57, -0.5, -0.25, 0.0, 1.0, 2.5, 4.99, 5.0, 5.01, 10.0, 30.0, 60.0, 85.0}) {
    const double saemundsson = 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kPi / 180.0) / 60.0;
    EXPECT_NEAR(CommonModel::calcRefractionCorrection(h), saemundsson, 0.005) << h;
  }
}

TEST(Refraction, BranchBoundaries) {
  // Above 85 degrees no correction; at exactly 85 it is still computed.
  EXPECT_EQ(CommonModel::calcRefractionCorrection(85.000001), 0.0);
  EXPECT_EQ(CommonModel::calcRefractionCorrection(90.0), 0.0);
  EXPECT_GT(CommonModel::calcRefractionCorrection(85.0), 0.001);
  // The branches meet at 5 and at -0.575 degrees (within 2 arc-seconds).
  for (double edge : {5.0, -0.575}) {
    const double below = CommonModel::calcRefractionCorrection(edge - 1e-9);
    const double above = CommonModel::calcRefractionCorrection(edge + 1e-9);
    EXPECT_NEAR(below, above, 2.0 / 3600) << edge;
  }
  // Below the horizon the correction tapers off: -20.774 / tan(e) arc-seconds.
  EXPECT_NEAR(CommonModel::calcRefractionCorrection(-1.0), 20.774 / std::tan(kPi / 180) / 3600,
              1e-6);
  EXPECT_NEAR(CommonModel::calcRefractionCorrection(-30.0),
              20.774 / std::tan(30 * kPi / 180) / 3600, 1e-6);
  EXPECT_GT(CommonModel::calcRefractionCorrection(-30.0), 0.0);
}

// Sun overhead at the equator: the azimuth is undefined and reported as 0
// (latitude not above 0), or 180 just north of the equator.
TEST(SunAngles, SunAtTheZenith) {
  // 2021 March 20, 09:37 UT: declination within a few thousandths of 0.
  const int h = 9, m = 37;
  const double jd = CommonModel::calcJulianDay(2021, 3, 20) + (h + m / 60.0) / 24.0;
  const double t = CommonModel::calcJulianCentury(jd);
  const double declination = CommonModel::calcSunDeclination(t);
  ASSERT_LT(std::fabs(declination), 0.02);
  // Longitude of local apparent noon: true solar time 720 minutes.
  const double longitude = (720.0 - CommonModel::calcEquationOfTime(t) - (h * 60 + m)) / 4.0;

  double azimuth = -1, elevation = -1;
  CommonModel::calSunAngles(2021, 3, 20, h, m, 0, 0.0, longitude, azimuth, elevation);
  EXPECT_EQ(azimuth, 0.0);
  EXPECT_NEAR(elevation, 90.0, 0.03);
  CommonModel::calSunAngles(2021, 3, 20, h, m, 0, declination + 0.01, longitude, azimuth,
                            elevation);
  EXPECT_EQ(azimuth, 180.0);
}

// The 1900-based series (no refraction) against the unrefracted ephemeris
// positions above; 2035 and 2029-01-19 03:14:08 (2^31 seconds after 1961) lie
// past a 32-bit second count.
TEST(SunAngles1900, AgreeWithEphemerisWithoutRefraction) {
  for (const SunCase& c : kEphemCases) {
    if (c.year < 1961) continue;
    SCOPED_TRACE(c.place);
    double azimuth = -1, elevation = -1;
    CommonModel::calcSunAngles(c.year, c.month, c.day, c.hour, c.minute, c.second, c.latitude,
                               c.longitude, azimuth, elevation);
    EXPECT_LT(azimuthError(azimuth, c.azimuth, c.trueElevation), 0.05) << azimuth;
    EXPECT_NEAR(elevation, c.trueElevation, 0.05);
    EXPECT_GE(azimuth, 0.0);
    EXPECT_LT(azimuth, 360.0);
  }
}

TEST(SunAngles1900, DatesOutsideItsRangeGiveNonNumbers) {
  struct Case {
    int year, month, day;
  } cases[] = {{1960, 12, 31}, {1900, 6, 1}, {2000, 0, 1},
               {2000, 13, 1},  {2000, 1, 0}, {2000, 1, 32}};
  for (const Case& c : cases) {
    double azimuth = 1, elevation = 1;
    CommonModel::calcSunAngles(c.year, c.month, c.day, 12, 0, 0, 10, 10, azimuth, elevation);
    EXPECT_TRUE(std::isnan(azimuth) && std::isnan(elevation)) << c.year << "-" << c.month;
  }
  double azimuth = 1, elevation = 1;
  CommonModel::calcSunAngles(1961, 1, 1, 0, 0, 0, 10, 10, azimuth, elevation);
  EXPECT_TRUE(std::isfinite(azimuth) && std::isfinite(elevation));
}

TEST(SunAngles1900, NegativeTimeFieldsAreLeftOut) {
  double az1, el1, az2, el2;
  CommonModel::calcSunAngles(2005, 5, 5, -1, 30, -7, 45, 7, az1, el1);
  CommonModel::calcSunAngles(2005, 5, 5, 0, 30, 0, 45, 7, az2, el2);
  EXPECT_EQ(az1, az2);
  EXPECT_EQ(el1, el2);
}

// Longitudes past 180 degrees push the true solar time beyond a day (1440
// minutes); whole days are taken off, so the sun is where it is at the same
// meridian given the usual way.
TEST(SunAngles, LongitudesBeyondHalfATurnWrap) {
  for (double longitude : {-170.0, -60.0, 5.0, 120.0}) {
    double az1, el1, az2, el2;
    CommonModel::calSunAngles(2016, 4, 12, 17, 45, 30, -12.5, longitude, az1, el1);
    CommonModel::calSunAngles(2016, 4, 12, 17, 45, 30, -12.5, longitude + 720, az2, el2);
    EXPECT_NEAR(az1, az2, 1e-6) << longitude;
    EXPECT_NEAR(el1, el2, 1e-6) << longitude;
  }
}
