#include "UTM.h"

#include <cctype>
#include <climits>
#include <cmath>

namespace zel {

namespace {
const double PI = 3.14159265358979323846;
const double FALSE_EASTING_M = 500000.0;
const double SOUTHERN_FALSE_NORTHING_M = 10000000.0;

double semiMajor(int datum) { return UTM::equatorialRadius[datum]; }
double semiMinor(int datum) { return UTM::polarRadius[datum]; }
}  // namespace

const double UTM::equatorialRadius[DATUM_COUNT] = {
    6378137.0,    // WGS 84
    6378135.0,    // WGS 72
    6378145.0,    // WGS 66
    6378165.0,    // WGS 60
    6378137.0,    // GRS 80
    6378140.0,    // GRS 75
    6378160.0,    // GRS 67
    6377397.155,  // Tokyo (Bessel 1841)
    6378160.0,    // Australian National
    6378137.0,    // NAD 83
};

const double UTM::polarRadius[DATUM_COUNT] = {
    6356752.314245179, 6356750.520016094, 6356759.769488684, 6356783.286959437, 6356752.314140356,
    6356755.288157528, 6356774.516090714, 6356078.962818189, 6356774.719195306, 6356752.314245179,
};

const double UTM::UTMScaleFactor = 0.9996;

double UTM::computeN(int datum) {
  return (semiMajor(datum) - semiMinor(datum)) / (semiMajor(datum) + semiMinor(datum));
}

double UTM::computeAlpha(int datum) {
  const double nn = computeN(datum);
  return (semiMajor(datum) + semiMinor(datum)) / 2.0 *
         (1.0 + std::pow(nn, 2) / 4.0 + std::pow(nn, 4) / 64.0);
}

double UTM::computeBeta(int datum) {
  const double nn = computeN(datum);
  return -3.0 * nn / 2.0 + 9.0 * std::pow(nn, 3) / 16.0 - 3.0 * std::pow(nn, 5) / 32.0;
}

double UTM::computeGamma(int datum) {
  const double nn = computeN(datum);
  return 15.0 * std::pow(nn, 2) / 16.0 - 15.0 * std::pow(nn, 4) / 32.0;
}

double UTM::computeDelta(int datum) {
  const double nn = computeN(datum);
  return -35.0 * std::pow(nn, 3) / 48.0 + 105.0 * std::pow(nn, 5) / 256.0;
}

double UTM::computeEpsilon(int datum) {
  const double nn = computeN(datum);
  return 315.0 * std::pow(nn, 4) / 512.0;
}

double UTM::computeAlpha_(int datum) { return computeAlpha(datum); }

double UTM::computeBeta_(int datum) {
  const double nn = computeN(datum);
  return 3.0 * nn / 2.0 - 27.0 * std::pow(nn, 3) / 32.0 + 269.0 * std::pow(nn, 5) / 512.0;
}

double UTM::computeGamma_(int datum) {
  const double nn = computeN(datum);
  return 21.0 * std::pow(nn, 2) / 16.0 - 55.0 * std::pow(nn, 4) / 32.0;
}

double UTM::computeDelta_(int datum) {
  const double nn = computeN(datum);
  return 151.0 * std::pow(nn, 3) / 96.0 - 417.0 * std::pow(nn, 5) / 128.0;
}

double UTM::computeEpsilon_(int datum) {
  const double nn = computeN(datum);
  return 1097.0 * std::pow(nn, 4) / 512.0;
}

double UTM::computeEccentricityPS(int datum) {
  const double a = semiMajor(datum);
  const double b = semiMinor(datum);
  return (a * a - b * b) / (b * b);
}

// The tables in the order n, alpha, beta, gamma, delta, epsilon, alpha_,
// beta_, gamma_, delta_, epsilon_, ep2; each needs only the radii above.
#define VUZIZA_EACH_DATUM(f) \
  { f(0), f(1), f(2), f(3), f(4), f(5), f(6), f(7), f(8), f(9) }
const double UTM::n[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeN);
const double UTM::alpha[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeAlpha);
const double UTM::beta[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeBeta);
const double UTM::gamma[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeGamma);
const double UTM::delta[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeDelta);
const double UTM::epsilon[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeEpsilon);
const double UTM::alpha_[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeAlpha_);
const double UTM::beta_[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeBeta_);
const double UTM::gamma_[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeGamma_);
const double UTM::delta_[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeDelta_);
const double UTM::epsilon_[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeEpsilon_);
const double UTM::ep2[DATUM_COUNT] = VUZIZA_EACH_DATUM(computeEccentricityPS);
#undef VUZIZA_EACH_DATUM

int UTM::computeZone(double latitude, double longitude) {
  if (latitude >= 56.0 && latitude < 64.0 && longitude >= 3.0 && longitude < 12.0) return 32;
  if (latitude >= 72.0 && latitude < 84.0) {
    if (longitude >= 0.0 && longitude < 9.0) return 31;
    if (longitude >= 9.0 && longitude < 21.0) return 33;
    if (longitude >= 21.0 && longitude < 33.0) return 35;
    if (longitude >= 33.0 && longitude < 42.0) return 37;
  }
  const double zone = (longitude + 180.0) / 6.0;
  // Outside any meaningful longitude the integer conversion would overflow.
  if (!(std::fabs(zone) < 1e9)) return 0;
  return static_cast<int>(zone) + 1;
}

int UTM::computeUTMLetterDesignator(double latitude) {
  if (latitude >= 72.0 && latitude <= 84.0) return 'X';
  // Bands of 8 degrees from 80 S, lower bound included (bounds compared
  // exactly, band by band).
  static const char BANDS[] = "CDEFGHJKLMNPQRSTUVW";
  if (latitude < 72.0) {
    for (int band = 18; band >= 0; --band) {
      if (latitude >= -80.0 + 8.0 * band) return BANDS[band];
    }
  }
  return 'Z';
}

double UTM::computeUTMCentralMeridian(int zone) { return (6.0 * zone - 183.0) / 180.0 * PI; }

double UTM::computeArcLengthOfMeridian(double phi, int datum) {
  return alpha[datum] *
         (phi + beta[datum] * std::sin(2.0 * phi) + gamma[datum] * std::sin(4.0 * phi) +
          delta[datum] * std::sin(6.0 * phi) + epsilon[datum] * std::sin(8.0 * phi));
}

double UTM::footprintLatitude(double y, int datum) {
  const double yy = y / alpha_[datum];
  return yy + beta_[datum] * std::sin(2.0 * yy) + gamma_[datum] * std::sin(4.0 * yy) +
         delta_[datum] * std::sin(6.0 * yy) + epsilon_[datum] * std::sin(8.0 * yy);
}

double* UTM::convertLatLonToTM(double phi, double lambda, int zone, int datum) {
  const double a = semiMajor(datum);
  const double b = semiMinor(datum);
  const double c = std::cos(phi);
  const double nu2 = ep2[datum] * c * c;
  const double bigN = a * a / (b * std::sqrt(1.0 + nu2));
  const double t = std::tan(phi);
  const double t2 = t * t;
  const double l = lambda - computeUTMCentralMeridian(zone);

  const double l3coef = 1.0 - t2 + nu2;
  const double l4coef = 5.0 - t2 + 9.0 * nu2 + 4.0 * nu2 * nu2;
  const double l5coef = 5.0 - 18.0 * t2 + t2 * t2 + 14.0 * nu2 - 58.0 * t2 * nu2;
  const double l6coef = 61.0 - 58.0 * t2 + t2 * t2 + 270.0 * nu2 - 330.0 * t2 * nu2;
  const double l7coef = 61.0 - 479.0 * t2 + 179.0 * t2 * t2 - t2 * t2 * t2;
  const double l8coef = 1385.0 - 3111.0 * t2 + 543.0 * t2 * t2 - t2 * t2 * t2;

  double* xy = new double[2];
  xy[0] = bigN * c * l + bigN / 6.0 * std::pow(c, 3) * l3coef * std::pow(l, 3) +
          bigN / 120.0 * std::pow(c, 5) * l5coef * std::pow(l, 5) +
          bigN / 5040.0 * std::pow(c, 7) * l7coef * std::pow(l, 7);
  xy[1] = computeArcLengthOfMeridian(phi, datum) +
          t / 2.0 * bigN * std::pow(c, 2) * std::pow(l, 2) +
          t / 24.0 * bigN * std::pow(c, 4) * l4coef * std::pow(l, 4) +
          t / 720.0 * bigN * std::pow(c, 6) * l6coef * std::pow(l, 6) +
          t / 40320.0 * bigN * std::pow(c, 8) * l8coef * std::pow(l, 8);
  return xy;
}

double* UTM::convertTMToLatLon(double x, double y, double lambda0, int datum) {
  const double a = semiMajor(datum);
  const double b = semiMinor(datum);
  const double phif = footprintLatitude(y, datum);
  const double c = std::cos(phif);
  const double nu2 = ep2[datum] * c * c;
  const double bigN = a * a / (b * std::sqrt(1.0 + nu2));
  const double t = std::tan(phif);
  const double t2 = t * t;
  const double t4 = t2 * t2;

  const double x2coef = -1.0 - nu2;
  const double x4coef =
      5.0 + 3.0 * t2 + 6.0 * nu2 - 6.0 * t2 * nu2 - 3.0 * nu2 * nu2 - 9.0 * t2 * nu2 * nu2;
  const double x6coef = -61.0 - 90.0 * t2 - 45.0 * t4 - 107.0 * nu2 + 162.0 * t2 * nu2;
  const double x8coef = 1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t4 * t2;
  const double x3coef = -1.0 - 2.0 * t2 - nu2;
  const double x5coef = 5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * nu2 + 8.0 * t2 * nu2;
  const double x7coef = -61.0 - 662.0 * t2 - 1320.0 * t4 - 720.0 * t4 * t2;

  double* latLon = new double[2];
  latLon[0] = phif + t / (2.0 * std::pow(bigN, 2)) * x2coef * std::pow(x, 2) +
              t / (24.0 * std::pow(bigN, 4)) * x4coef * std::pow(x, 4) +
              t / (720.0 * std::pow(bigN, 6)) * x6coef * std::pow(x, 6) +
              t / (40320.0 * std::pow(bigN, 8)) * x8coef * std::pow(x, 8);
  latLon[1] = lambda0 + x / (bigN * c) + x3coef * std::pow(x, 3) / (6.0 * std::pow(bigN, 3) * c) +
              x5coef * std::pow(x, 5) / (120.0 * std::pow(bigN, 5) * c) +
              x7coef * std::pow(x, 7) / (5040.0 * std::pow(bigN, 7) * c);
  return latLon;
}

void UTM::toUTM(double latitude, double longitude, int datum, UTMCoordinate* utm) {
  if (utm == nullptr) return;
  utm->zone = computeZone(latitude, longitude);
  utm->letter = static_cast<char>(computeUTMLetterDesignator(latitude));
  utm->southern = utm->inSouthernHemisphere();
  double* xy = convertLatLonToTM(latitude / 180.0 * PI, longitude / 180.0 * PI, utm->zone, datum);
  utm->easting = UTMScaleFactor * xy[0] + FALSE_EASTING_M;
  utm->northing = UTMScaleFactor * xy[1];
  if (utm->northing < 0.0) utm->northing += SOUTHERN_FALSE_NORTHING_M;
  delete[] xy;
}

void UTM::toDecimal(UTMCoordinate* utm, int datum, DecimalCoordinate* dec) {
  if (utm == nullptr || dec == nullptr) return;
  const double x = (utm->easting - FALSE_EASTING_M) / UTMScaleFactor;
  const double northing =
      utm->inSouthernHemisphere() ? utm->northing - SOUTHERN_FALSE_NORTHING_M : utm->northing;
  const double y = northing / UTMScaleFactor;
  double* latLon = convertTMToLatLon(x, y, computeUTMCentralMeridian(utm->zone), datum);
  dec->setLat(180.0 * latLon[0] / PI);
  dec->setLon(180.0 * latLon[1] / PI);
  delete[] latLon;
}

int UTM::leadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void UTM::parseUTMString(const std::string& text, UTMCoordinate* utm) {
  // substr throws std::out_of_range before anything is stored when the text
  // does not reach the northing.
  const std::string zone = text.substr(0, 2);
  const std::string easting = text.substr(2, 6);
  const std::string northing = text.substr(8, 7);
  if (utm == nullptr) return;
  utm->zone = leadingInteger(zone);
  utm->easting = leadingInteger(easting);
  utm->northing = leadingInteger(northing);
}

}  // namespace zel
