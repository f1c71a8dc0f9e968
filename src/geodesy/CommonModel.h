#pragma once
// WGS 84 ellipsoid geometry: geodetic <-> ECEF conversions, local east-north-up
// rotations, CE90/LE90 accuracy figures, chord distances and the sun's position.

#include "../geometry/ErrorCoordinate.h"
#include "Newmat.h"

// Vector layouts used throughout:
//  - a geodetic triple is a RowVector (longitude, latitude, height): angles in
//    radians, height above the WGS 84 ellipsoid in the call's length unit;
//  - an ECEF triple is a RowVector (or ColumnVector) (X, Y, Z): X toward
//    latitude 0 / longitude 0, Z toward the north pole, in the call's length unit.
// "Geocentric" in a function name means ECEF (not geocentric latitude). The
// length unit is the international foot unless the function name ends in
// "Metric" or its `metric` argument is true, in which case it is the metre.
//
// Every function is static and free of side effects; the class holds no data.
class CommonModel {
 public:
  // The class's own value of pi, eight decimals. Every degree/radian conversion
  // in this class uses DEG2RAD and RAD2DEG derived from it (not the exact pi/180),
  // so results differ from an exact conversion in the ninth significant digit;
  // callers compare against values made the same way.
  static constexpr double PI = 3.14159265;
  static constexpr double DEG2RAD = PI / 180.0;  // 0.0174532925
  static constexpr double RAD2DEG = 180.0 / PI;  // 57.29577957855229

  // WGS 84 ellipsoid.
  static constexpr double semiMajorAxis = 6378137.0;                        // a, metres
  static constexpr double flattening = 1.0 / 298.257223563;                 // f
  static constexpr double f = flattening;                                   // f under a short name
  static constexpr double e2 = 2.0 * flattening - flattening * flattening;  // e^2 = 2f - f^2
  static constexpr double ep2 =  // e'^2 = a^2/b^2 - 1, b = a (1 - f)
      semiMajorAxis * semiMajorAxis /
          ((semiMajorAxis * (1.0 - flattening)) * (semiMajorAxis * (1.0 - flattening))) -
      1.0;
  static constexpr double aFt = semiMajorAxis / 0.3048;  // a, international feet

  // Length units.
  static constexpr double M2FT = 1.0 / 0.3048;  // metres to feet
  static constexpr double FT2M = 0.3048;        // feet to metres
  static constexpr double M_PER_FT = 0.3048;    // metres per foot

  // ecefTogeodetic iteration: start value of the previous latitude, latitude
  // tolerance (radians), Z-correction tolerance (in the call's length unit).
  static constexpr double LARGE = 999.99;
  static constexpr double DLAT_MAX = 1e-14;
  static constexpr double DZA_MAX = 1e-6;

  CommonModel() = default;

  // ---- Local east-north-up frame -------------------------------------------

  // Unit ENU direction (east, north, up) of azimuth `azimuth` (degrees,
  // clockwise from north) and elevation `elevation` (degrees above the horizon).
  static ColumnVector azElToENU(const double& azimuth, const double& elevation);

  // Rotates an ENU vector at (latitude, longitude) (degrees) into ECEF axes
  // (rotation only, no translation). Note the argument order: latitude first.
  static ColumnVector enuToECEF(double latitude, double longitude, const ColumnVector& enu);

  // Rotates an ECEF vector into the ENU axes at (longitude, latitude) (degrees).
  // Note the argument order: longitude first, unlike enuToECEF.
  static ColumnVector ecefToENU(double longitude, double latitude, const ColumnVector& ecef);

  // a x b as a 3-row vector; the zero vector when either operand does not have
  // exactly 3 rows.
  static ColumnVector cross(const ColumnVector& a, const ColumnVector& b);

  // ---- Accuracy figures -----------------------------------------------------

  // CE90 of a 2 x 2 horizontal covariance, in the unit of the covariance's
  // square root (square metres give metres). The larger standard deviation is
  // scaled by a factor interpolated in a table of the ratio of the smaller to
  // the larger one (1.645 for a line, 2.146 for a circle). Both deviations 0
  // give 0. Throws `new BaseException("Cannot calculate CE: Matrix is not
  // positive definite")` (a pointer the catcher deletes) when the determinant
  // or the trace is negative.
  static double cep_doc(const Matrix& horizontalCovariance);

  // Rotates the 3 x 3 ECEF covariance of the ECEF position `position` into the
  // local east-north-up axes of the ellipsoid normal there, and derives CE90
  // (cep_doc of the horizontal block) and LE90 (1.645 x the vertical sigma),
  // in the unit of the covariance's square root. `enuCovariance` must be 3 x 3.
  // On the polar axis, where east is undefined, the axes of longitude 0 are
  // used (east = +Y), as ecefTogeodetic reports longitude 0 there; CE90 does
  // not depend on the choice.
  // cep_doc's exception and the matrix library's own exceptions (wrong sizes)
  // pass through; the outputs are then not written.
  static void calculatePositionError(const ColumnVector& position, Matrix& ecefCovariance,
                                     double& ce90, double& le90, Matrix& enuCovariance);

  // ---- Geodetic <-> ECEF -----------------------------------------------------

  // Geodetic (longitude, latitude radians, height) to ECEF, in metres when
  // `metric` is true, feet otherwise.
  static RowVector geodeticToECEF(const RowVector& geodetic, bool metric);
  // geodeticToECEF in feet / in metres.
  static RowVector geodeticToGeocentric(const RowVector& geodetic);
  static RowVector geodeticToGeocentricMetric(const RowVector& geodetic);

  // ECEF to geodetic (longitude, latitude radians, height), in metres when
  // `metric` is true, feet otherwise. Iterates until the latitude changes by at
  // most DLAT_MAX and the Z correction by at most DZA_MAX (under ten steps near
  // the ellipsoid; a bound of 10000 steps only matters for points deep inside
  // the earth, where the iteration contracts slowly). On the polar axis
  // the longitude is 0; the earth's centre gives longitude 0 and non-numbers
  // for latitude and height.
  static RowVector ecefTogeodetic(const RowVector& ecef, bool metric);
  // ecefTogeodetic in feet / in metres.
  static RowVector geocentricToGeodetic(const RowVector& ecef);
  static RowVector geocentricToGeodeticMetric(const RowVector& ecef);

  // The same two conversions on plain numbers, without allocating; for loops
  // that convert many points. Same units and results as the RowVector forms.
  static void geodeticToECEF(double longitude, double latitude, double height, bool metric,
                             double& x, double& y, double& z);
  static void ecefTogeodetic(double x, double y, double z, bool metric, double& longitude,
                             double& latitude, double& height);

  // ---- Distances ---------------------------------------------------------------

  // Straight-line (chord) distance between two points given in degrees and
  // metres of elevation, in feet / in metres. Not a surface distance.
  static double getDistanceFeet(const zel::ErrorCoordinate& p1, const zel::ErrorCoordinate& p2);
  static double getDistanceMeters(const zel::ErrorCoordinate& p1, const zel::ErrorCoordinate& p2);

  // ---- Solar position (low-accuracy Meeus / NOAA solar calculator) ------------
  // Time is Universal Time; T counts Julian centuries from J2000.0. Angles are
  // degrees unless stated.

  // Julian day at 0 h UT of a Gregorian calendar date.
  static double calcJulianDay(int year, int month, int day);
  // T = (JD - 2451545) / 36525.
  static double calcJulianCentury(double julianDay);
  // Geometric mean longitude of the sun, degrees in [0, 360].
  static double calcSunGeometricMeanLongitude(double t);
  // Geometric mean anomaly of the sun, degrees (not reduced).
  static double calcSunGeometricMeanAnomaly(double t);
  // Eccentricity of the earth's orbit (unitless).
  static double calcEarthOrbitEccentricity(double t);
  // Equation of the centre, degrees.
  static double calcEquationOfSunCenter(double t);
  // True and apparent longitude of the sun, degrees.
  static double calcSunTrueLongitude(double t);
  static double calcSunApparentLongitude(double t);
  // Mean and corrected (nutation) obliquity of the ecliptic, degrees.
  static double calcMeanObliquityOfEcliptic(double t);
  static double calcObliquityCorrection(double t);
  // Apparent declination of the sun, degrees.
  static double calcSunDeclination(double t);
  // Equation of time (apparent minus mean solar time), minutes.
  static double calcEquationOfTime(double t);

  // Atmospheric refraction (standard atmosphere) to add to a true elevation
  // `elevation` (degrees), in degrees: 0 above 85 degrees; 58.1/tan e - 0.07/tan^3 e
  // + 0.000086/tan^5 e arc-seconds above 5; a quartic in e above -0.575;
  // -20.774/tan e arc-seconds at and below -0.575.
  static double calcRefractionCorrection(double elevation);

  // Sun azimuth (degrees clockwise from north, [0, 360)) and elevation
  // (degrees above the horizon, refraction included) seen from (latitude,
  // longitude) degrees, east positive, at the given UT date and time. With
  // the sun within about 0.06 degrees of the zenith, or at a pole, the
  // azimuth is undefined and reported as 180 north of the equator, else 0.
  static void calSunAngles(int year, int month, int day, int hour, int minute, int second,
                           double latitude, double longitude, double& azimuth, double& elevation);

  // The same angles by an older series referred to 1900 (sidereal time and
  // right ascension), without refraction. The azimuth is returned clockwise
  // from north in [0, 360), like calSunAngles. Dates are accepted from
  // 1961-01-01 on (64-bit seconds, so no upper limit in practice); a year
  // before 1961, a month outside 1..12 or a day outside 1..31 gives NaN in
  // both outputs. A negative hour, minute or second is skipped (counts as 0).
  static void calcSunAngles(int year, int month, int day, int hour, int minute, int second,
                            double latitude, double longitude, double& azimuth, double& elevation);
};

// Euclidean length of a vector: the square root of its dot product with itself.
double twoNorm(const ColumnVector& v);
