#pragma once
#include <ios>
#include <sstream>
#include <string>
#include <vector>

namespace zel {

// EGM96 geoid undulation (geoid height above the WGS 84 ellipsoid, metres) by
// spherical-harmonic synthesis to degree and order 360, after the published
// EGM96 program F477 whose routines (DHCSIN, LEGFDN, RADGRA, DSCML, HUNDU)
// give the member functions their names.
//
// Two text files feed it, one coefficient per line: "n m C S ..." (degree,
// order, fully normalised C and S; further tokens ignored). The model file is
// the EGM96 coefficient file; the correction file holds the coefficients of
// the height-anomaly-to-undulation correction, written with 'D' exponents.
// Lines with fewer than four tokens, unreadable numbers, a degree above 360
// or an order outside 0..degree are skipped.
//
// An instance whose files cannot both be opened stays uninitialised and
// answers -999999.0. Not for concurrent use: queries update the caches below.
class Geoid {
 public:
  static constexpr double CONST_GM = 398600441800000.0;  // earth's gravitational constant, m^3/s^2
  static constexpr double CONST_A = 6378137.0;           // WGS 84 semi-major axis, m
  static constexpr double CONST_K = 0.00193185265246;    // normal-gravity formula constant k
  static constexpr double CONST_GEQT = 9.7803253359;     // normal gravity at the equator, m/s^2
  static constexpr double CONST_F = 0.0033528106647474805;  // WGS 84 flattening, 1/298.257223563
  static constexpr double PI = 3.1415926535897;             // thirteen decimals, as F477 has it
  static constexpr double CONST_E2 = (2.0 - CONST_F) * CONST_F;  // first eccentricity squared
  static constexpr double DEG_PER_RAD = 180.0 / PI;              // degrees per radian

  // The shared instance and the file names it was built from (see getInstance).
  static std::string current_egm_file;
  static std::string current_coeff_file;
  static Geoid* static_instance;

  int nmax;                       // maximum degree and order, 360
  bool initialized;               // both files were read
  double j2, j4, j6;              // even zonal harmonics of the normal field (set by dhcsin)
  double lastLatitude;            // geodetic latitude of the last query, degrees (91 before any)
  double lastColatitude;          // geocentric colatitude of the last query, radians
  double lastLongitude;           // longitude of the last query, radians
  double lastGeocentricLatitude;  // radians
  double geocentricRadius;        // metres, of the last query
  double normalGravity;           // m/s^2, of the last query
  double correction;              // height anomaly to undulation correction, metres
  long derivativeFlag;            // passed to legfdn: 1 values only, otherwise also derivatives

  // Arrays indexed from 1. Coefficients of degree n and order m sit at
  // n(n+1)/2 + m + 1: model C and S (hc, hs), correction C and S (cc, cs) and
  // the Legendre table of the last latitude (p). rleg, dleg and rlnn hold the
  // values of one order, their derivatives and the sectoral start values at
  // index degree + 1; sinml and cosml hold sin(m lambda), cos(m lambda) at m.
  std::vector<double> hc, hs, cc, cs, p;
  std::vector<double> rleg, dleg, rlnn, sinml, cosml;

  // Reads the correction file, then the model file; the instance is
  // initialised only when both could be opened.
  Geoid(std::string egmFile, std::string coeffFile);
  Geoid(const Geoid&) = delete;
  Geoid& operator=(const Geoid&) = delete;

  // The shared instance for this pair of file names: the existing one when
  // the names are those of the last call, otherwise a new one (the previous
  // instance is deleted, so pointers to it become invalid). Owned by the class.
  static Geoid* getInstance(std::string egmFile, std::string coeffFile);

  bool getIsInitialized() const { return initialized; }

  // Undulation in metres at a geodetic latitude and longitude in degrees, or
  // -999999.0 (with a message on standard output) when not initialised. The
  // Legendre table is rebuilt only when the latitude differs from the last
  // query's, so queries along a parallel are cheap.
  double getUndulation(double latitude, double longitude);

  // Reads the model coefficients of degree <= maxDegree from egmFile (after
  // zeroing them all) and removes the normal field's even zonal terms.
  // False when the file cannot be opened.
  bool dhcsin(long maxDegree, std::string egmFile);
  // Fully normalised associated Legendre functions of order m for degrees
  // m..maxDegree at colatitude theta (radians) into rleg[degree + 1]; with a
  // flag other than 1 also their derivatives by theta into dleg. False only
  // when derivatives are asked for at a pole (the values are computed).
  bool legfdn(int m, double theta, int maxDegree, long flag);
  // Geocentric latitude (radians), geocentric radius (m) and normal gravity
  // (m/s^2) of the point at geodetic latitude and longitude (degrees) and
  // height above the ellipsoid (m), kept in the members. Returns true.
  bool radgra(double latitude, double longitude, double height);
  // sin(m lambda) and cos(m lambda) for m = 1..nmax (lambda in radians).
  bool dscml(double longitude);
  // The undulation in metres from the current tables (the argument is unused).
  double hundu(double unused);

 private:
  std::vector<double> sqrtOf_, inverseSqrtOf_;  // sqrt(i), 1/sqrt(i), i = 1..2 nmax + 1
};

// Converts `text` through an input string stream with the base manipulator
// `base` (std::dec, std::hex, std::oct); true when the conversion succeeded.
template <class T>
bool num_from_string(T& target, const std::string& text, std::ios_base& (*base)(std::ios_base&)) {
  std::istringstream in(text);
  return !(in >> base >> target).fail();
}

}  // namespace zel
