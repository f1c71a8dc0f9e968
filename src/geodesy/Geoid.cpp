#include "Geoid.h"

#include <cmath>
#include <fstream>
#include <iostream>

#include "../geometry/GeoText.h"

namespace zel {

std::string Geoid::current_egm_file;
std::string Geoid::current_coeff_file;
Geoid* Geoid::static_instance = nullptr;

namespace {

constexpr int MAX_DEGREE = 360;
constexpr double FAILED = -999999.0;
// Offset between the undulation of the WGS 84 ellipsoid and the EGM96 zero
// degree term, metres (F477).
constexpr double ZERO_DEGREE_OFFSET_M = 0.53;

// Normal-field zonal terms of degree 8 and 10 removed from the model (F477).
constexpr double J8_TERM = 3.460524683954118e-12;
constexpr double J10_TERM = 2.6500222574756675e-12;

int coefficientIndex(int n, int m) { return n * (n + 1) / 2 + m + 1; }
int coefficientCount(int maxDegree) { return (maxDegree + 1) * (maxDegree + 2) / 2; }

// One coefficient line: degree, order, C and S. With `fortranExponent` the
// first 'D' of each real is read as 'E'. False for lines that do not fit the
// tables of degree `maxDegree`.
bool parseCoefficientLine(std::string line, bool fortranExponent, int maxDegree, int& n, int& m,
                          double& c, double& s) {
  for (char& ch : line) {
    if (ch == '\t' || ch == '\r') ch = ' ';
  }
  std::istringstream in(line);
  std::string tokens[4];
  for (std::string& token : tokens) {
    nextToken(in, token);
    if (token.empty()) return false;
  }
  if (fortranExponent) {
    for (int i = 2; i < 4; ++i) {
      const std::size_t d = tokens[i].find('D');
      if (d != std::string::npos) tokens[i][d] = 'E';
    }
  }
  short degree = 0;
  short order = 0;
  if (!num_from_string(degree, tokens[0], std::dec) ||
      !num_from_string(order, tokens[1], std::dec) || !num_from_string(c, tokens[2], std::dec) ||
      !num_from_string(s, tokens[3], std::dec)) {
    return false;
  }
  if (degree < 0 || degree > maxDegree || order < 0 || order > degree) return false;
  n = degree;
  m = order;
  return true;
}

// Reads every fitting line of `path` into the coefficient arrays; false when
// the file cannot be opened.
bool readCoefficients(const std::string& path, bool fortranExponent, int maxDegree,
                      std::vector<double>& cs, std::vector<double>& ss) {
  std::ifstream in(path);
  if (!in.is_open()) return false;
  std::string line;
  while (std::getline(in, line)) {
    int n = 0, m = 0;
    double c = 0, s = 0;
    if (!parseCoefficientLine(line, fortranExponent, maxDegree, n, m, c, s)) continue;
    cs[coefficientIndex(n, m)] = c;
    ss[coefficientIndex(n, m)] = s;
  }
  return true;
}

}  // namespace

Geoid::Geoid(std::string egmFile, std::string coeffFile)
    : nmax(MAX_DEGREE),
      initialized(false),
      j2(0),
      j4(0),
      j6(0),
      lastLatitude(91.0),
      lastColatitude(0),
      lastLongitude(0),
      lastGeocentricLatitude(0),
      geocentricRadius(0),
      normalGravity(0),
      correction(0),
      derivativeFlag(1) {
  const std::size_t coefficients = coefficientCount(nmax) + 1;  // index 0 unused
  hc.assign(coefficients, 0.0);
  hs.assign(coefficients, 0.0);
  cc.assign(coefficients, 0.0);
  cs.assign(coefficients, 0.0);
  p.assign(coefficients, 0.0);
  // One more than the highest degree index (nmax + 1), so that the step to
  // degree m + 1 of the last order stays inside.
  rleg.assign(nmax + 3, 0.0);
  dleg.assign(nmax + 3, 0.0);
  rlnn.assign(nmax + 3, 0.0);
  sinml.assign(nmax + 2, 0.0);
  cosml.assign(nmax + 2, 0.0);
  sqrtOf_.assign(2 * nmax + 2, 0.0);
  inverseSqrtOf_.assign(2 * nmax + 2, 0.0);
  for (int i = 1; i <= 2 * nmax + 1; ++i) {
    sqrtOf_[i] = std::sqrt(double(i));
    inverseSqrtOf_[i] = 1.0 / sqrtOf_[i];
  }

  if (!readCoefficients(coeffFile, true, nmax, cc, cs)) return;
  if (!dhcsin(nmax, egmFile)) return;
  initialized = true;
  lastLatitude = 91.0;
}

Geoid* Geoid::getInstance(std::string egmFile, std::string coeffFile) {
  if (static_instance && egmFile == current_egm_file && coeffFile == current_coeff_file) {
    return static_instance;
  }
  delete static_instance;
  static_instance = nullptr;
  static_instance = new Geoid(egmFile, coeffFile);
  current_egm_file = egmFile;
  current_coeff_file = coeffFile;
  return static_instance;
}

double Geoid::getUndulation(double latitude, double longitude) {
  if (!initialized) {
    std::cout << "Geoid has not been properly initialized." << std::endl;
    return FAILED;
  }
  radgra(latitude, longitude, 0.0);
  if (latitude != lastLatitude) {
    lastLatitude = latitude;
    lastColatitude = 0.5 * PI - lastGeocentricLatitude;
    for (int m = 0; m <= nmax; ++m) {
      legfdn(m, lastColatitude, nmax, derivativeFlag);
      for (int n = m; n <= nmax; ++n) p[coefficientIndex(n, m)] = rleg[n + 1];
    }
  }
  lastLongitude = longitude / DEG_PER_RAD;
  dscml(lastLongitude);
  return hundu(0.0);
}

bool Geoid::dhcsin(long maxDegree, std::string egmFile) {
  j2 = 0.00108262982131;
  j4 = -2.37091120053e-06;
  j6 = 6.08346498882e-09;
  const int degree = maxDegree < 0 ? 0 : (maxDegree > nmax ? nmax : int(maxDegree));
  for (int i = 1; i <= coefficientCount(degree); ++i) {
    hc[i] = 0.0;
    hs[i] = 0.0;
  }
  if (!readCoefficients(egmFile, false, degree, hc, hs)) return false;
  hc[coefficientIndex(2, 0)] += j2 / std::sqrt(5.0);
  hc[coefficientIndex(4, 0)] += j4 / 3.0;
  hc[coefficientIndex(6, 0)] += j6 / std::sqrt(13.0);
  hc[coefficientIndex(8, 0)] -= J8_TERM;
  hc[coefficientIndex(10, 0)] += J10_TERM;
  return true;
}

bool Geoid::legfdn(int m, double theta, int maxDegree, long flag) {
  if (maxDegree > nmax) maxDegree = nmax;
  if (m < 0 || m > maxDegree) return true;
  const double* root = sqrtOf_.data();
  const double* inverseRoot = inverseSqrtOf_.data();
  const double cosTheta = std::cos(theta);
  const double sinTheta = std::sin(theta);

  // Sectoral values Pkk, k = 0..m, at index k + 1.
  rlnn[1] = 1.0;
  if (m >= 1) rlnn[2] = sinTheta * root[3];
  for (int k = 2; k <= m; ++k) {
    rlnn[k + 1] = root[2 * k + 1] * inverseRoot[2 * k] * sinTheta * rlnn[k];
  }

  // Degrees m and m + 1, then the recursion in degree.
  rleg[m + 1] = rlnn[m + 1];
  if (m + 1 <= maxDegree) rleg[m + 2] = root[2 * m + 3] * cosTheta * rleg[m + 1];
  for (int n = m + 2; n <= maxDegree; ++n) {
    rleg[n + 1] = root[2 * n + 1] * inverseRoot[n + m] * inverseRoot[n - m] *
                  (root[2 * n - 1] * cosTheta * rleg[n] -
                   root[n + m - 1] * root[n - m - 1] * inverseRoot[2 * n - 3] * rleg[n - 1]);
  }

  if (flag == 1) return true;
  if (sinTheta == 0.0) {
    std::cout << "LEGFDN does not compute derivatives at the poles!" << std::endl;
    return false;
  }
  // dPnm/dtheta = (n cos(theta) Pnm - sqrt((2n+1)/(2n-1)) sqrt((n+m)(n-m)) P(n-1)m) / sin(theta)
  const double cotTheta = cosTheta / sinTheta;
  dleg[m + 1] = m * cotTheta * rleg[m + 1];
  for (int n = m + 1; n <= maxDegree; ++n) {
    dleg[n + 1] = n * cotTheta * rleg[n + 1] - root[2 * n + 1] * inverseRoot[2 * n - 1] *
                                                   root[n + m] * root[n - m] * rleg[n] / sinTheta;
  }
  return true;
}

bool Geoid::radgra(double latitude, double longitude, double height) {
  const double phi = latitude / DEG_PER_RAD;
  const double lambda = longitude / DEG_PER_RAD;
  const double sinPhi = std::sin(phi);
  const double w = std::sqrt(1.0 - CONST_E2 * sinPhi * sinPhi);
  const double primeVertical = CONST_A / w;
  const double z = (primeVertical * (1.0 - CONST_E2) + height) * sinPhi;
  const double equatorial = (primeVertical + height) * std::cos(phi);
  const double x = equatorial * std::cos(lambda);
  const double y = equatorial * std::sin(lambda);
  const double horizontal = std::sqrt(x * x + y * y);
  geocentricRadius = std::sqrt(x * x + y * y + z * z);
  lastGeocentricLatitude = std::atan(z / horizontal);
  normalGravity = CONST_GEQT * (1.0 + CONST_K * sinPhi * sinPhi) / w;
  return true;
}

bool Geoid::dscml(double longitude) {
  const double s = std::sin(longitude);
  const double c = std::cos(longitude);
  sinml[1] = s;
  cosml[1] = c;
  if (nmax >= 2) {
    sinml[2] = 2.0 * s * c;
    cosml[2] = 2.0 * c * c - 1.0;
  }
  for (int m = 3; m <= nmax; ++m) {
    sinml[m] = 2.0 * c * sinml[m - 1] - sinml[m - 2];
    cosml[m] = 2.0 * c * cosml[m - 1] - cosml[m - 2];
  }
  return true;
}

double Geoid::hundu(double /*unused*/) {
  const double ar = CONST_A / geocentricRadius;
  double arn = ar;
  double a = 0.0;
  double b = 0.0;
  int k = 3;
  for (int n = 2; n <= nmax; ++n) {
    arn *= ar;
    ++k;
    double sum = p[k] * hc[k];
    double sumCorrection = p[k] * cc[k];
    for (int m = 1; m <= n; ++m) {
      ++k;
      sum += p[k] * (hc[k] * cosml[m] + hs[k] * sinml[m]);
      sumCorrection += p[k] * (cc[k] * cosml[m] + cs[k] * sinml[m]);
    }
    b += sumCorrection;
    a += sum * arn;
  }
  b += cc[1] + p[2] * cc[2] + p[3] * (cc[3] * cosml[1] + cs[3] * sinml[1]);
  correction = b / 100.0;
  return a * CONST_GM / (geocentricRadius * normalGravity) + correction - ZERO_DEGREE_OFFSET_M;
}

}  // namespace zel
