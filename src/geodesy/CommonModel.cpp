#include "CommonModel.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kMetresPerFoot = 0.3048;

// Semi-major axis in the unit of the call.
inline double semiMajorAxisIn(bool metric) {
  return metric ? CommonModel::semiMajorAxis : CommonModel::aFt;
}

// Guard against endless iteration in ecefTogeodetic. Points on or near the
// ellipsoid converge in fewer than ten steps; only points deep inside the
// earth (a few tens of kilometres from its centre) need hundreds.
constexpr int kMaxGeodeticIterations = 10000;

// CE90 factor for the ratio of the smaller to the larger horizontal standard
// deviation (0 = a line, 1 = a circle), tabulated every 0.1.
constexpr int kCeTableSize = 11;
constexpr double kCeRatio[kCeTableSize] = {0.0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
constexpr double kCeFactor[kCeTableSize] = {1.645, 1.648, 1.657, 1.674, 1.699, 1.737,
                                            1.792, 1.863, 1.947, 2.042, 2.146};

// One-dimensional 90 % factor (LE90 = 1.645 sigma).
constexpr double kLe90Factor = 1.645;

// First entry (from the second on) whose ratio reaches `ratio`, interpolated
// linearly with the entry before it. A ratio that reaches none (a non-number)
// gives 0.
double ceFactorForRatio(double ratio) {
  for (int i = 1; i < kCeTableSize; ++i) {
    if (kCeRatio[i] >= ratio) {
      return kCeFactor[i - 1] + (kCeFactor[i] - kCeFactor[i - 1]) * (ratio - kCeRatio[i - 1]) /
                                    (kCeRatio[i] - kCeRatio[i - 1]);
    }
  }
  return 0.0;
}

ColumnVector columnVector3(double a, double b, double c) {
  ColumnVector v(3);
  v(1) = a;
  v(2) = b;
  v(3) = c;
  return v;
}

RowVector rowVector3(double a, double b, double c) {
  RowVector v(3);
  v(1) = a;
  v(2) = b;
  v(3) = c;
  return v;
}

}  // namespace

double twoNorm(const ColumnVector& v) { return std::sqrt(DotProduct(v, v)); }

// ---- Local east-north-up frame ----------------------------------------------

ColumnVector CommonModel::azElToENU(const double& azimuth, const double& elevation) {
  const double az = azimuth * DEG2RAD;
  const double el = elevation * DEG2RAD;
  return columnVector3(std::sin(az) * std::cos(el), std::cos(az) * std::cos(el), std::sin(el));
}

ColumnVector CommonModel::enuToECEF(double latitude, double longitude, const ColumnVector& enu) {
  const double sinLat = std::sin(latitude * DEG2RAD), cosLat = std::cos(latitude * DEG2RAD);
  const double sinLon = std::sin(longitude * DEG2RAD), cosLon = std::cos(longitude * DEG2RAD);
  const double e = enu(1), n = enu(2), u = enu(3);
  // Columns: the east, north and up unit vectors in ECEF.
  return columnVector3(-sinLon * e - sinLat * cosLon * n + cosLat * cosLon * u,
                       cosLon * e - sinLat * sinLon * n + cosLat * sinLon * u,
                       cosLat * n + sinLat * u);
}

ColumnVector CommonModel::ecefToENU(double longitude, double latitude, const ColumnVector& ecef) {
  const double sinLat = std::sin(latitude * DEG2RAD), cosLat = std::cos(latitude * DEG2RAD);
  const double sinLon = std::sin(longitude * DEG2RAD), cosLon = std::cos(longitude * DEG2RAD);
  const double x = ecef(1), y = ecef(2), z = ecef(3);
  return columnVector3(-sinLon * x + cosLon * y,
                       -sinLat * cosLon * x - sinLat * sinLon * y + cosLat * z,
                       cosLat * cosLon * x + cosLat * sinLon * y + sinLat * z);
}

ColumnVector CommonModel::cross(const ColumnVector& a, const ColumnVector& b) {
  ColumnVector result(3);
  result = 0.0;
  if (a.Nrows() != 3 || b.Nrows() != 3) return result;
  result(1) = a(2) * b(3) - a(3) * b(2);
  result(2) = -(a(1) * b(3) - a(3) * b(1));
  result(3) = a(1) * b(2) - a(2) * b(1);
  return result;
}

// ---- Accuracy figures ---------------------------------------------------------

double CommonModel::cep_doc(const Matrix& horizontalCovariance) {
  const double c11 = horizontalCovariance(1, 1), c12 = horizontalCovariance(1, 2);
  const double c21 = horizontalCovariance(2, 1), c22 = horizontalCovariance(2, 2);
  const double det = c11 * c22 - c12 * c21;
  const double trace = c11 + c22;
  // A covariance has both eigenvalues >= 0: their product (det) and their sum
  // (trace) must not be negative.
  if (det < 0.0 || trace < 0.0) {
    throw new BaseException("Cannot calculate CE: Matrix is not positive definite");
  }
  // Eigenvalues (t +- s) / 2. The discriminant is written as
  // (c11 - c22)^2 + 4 c12 c21 rather than t^2 - 4 det: equal in exact
  // arithmetic, but the latter can round below zero for a nearly circular
  // covariance and turn the result into a non-number.
  double discriminant = (c11 - c22) * (c11 - c22) + 4.0 * c12 * c21;
  if (discriminant < 0.0) discriminant = 0.0;
  const double s = std::sqrt(discriminant);
  const double lambda1 = (trace + s) * 0.5;
  double lambda2 = (trace - s) * 0.5;
  if (lambda2 < 0.0) lambda2 = 0.0;  // rounding of a singular covariance
  const double sigma1 = std::sqrt(lambda1);
  const double sigma2 = std::sqrt(lambda2);

  const double q = sigma1 / sigma2;
  double ratio, scale;
  if (q > 1.0) {
    ratio = 1.0 / q;
    scale = sigma1;
  } else {
    ratio = q;
    scale = sigma2;
  }
  return ceFactorForRatio(ratio) * scale;
}

void CommonModel::calculatePositionError(const ColumnVector& position, Matrix& ecefCovariance,
                                         double& ce90, double& le90, Matrix& enuCovariance) {
  const double x = position(1), y = position(2), z = position(3);
  // Up: the ellipsoid normal, (x, y, (1 + e'^2) z) normalised.
  ColumnVector up = columnVector3(x, y, (1.0 + ep2) * z);
  up /= twoNorm(up);
  ColumnVector east = cross(columnVector3(0.0, 0.0, 1.0), up);
  const double eastNorm = twoNorm(east);
  if (eastNorm > 0.0) {
    east /= eastNorm;
  } else {
    east = columnVector3(0.0, 1.0, 0.0);  // on the polar axis: the east of longitude 0
  }
  const ColumnVector north = cross(up, east);

  Matrix rotation(3, 3);  // rows: east, north, up
  for (int j = 1; j <= 3; ++j) {
    rotation(1, j) = east(j);
    rotation(2, j) = north(j);
    rotation(3, j) = up(j);
  }
  const Matrix enu = rotation * ecefCovariance * rotation.t();

  Matrix horizontal(2, 2);
  horizontal(1, 1) = enu(1, 1);
  horizontal(1, 2) = enu(1, 2);
  horizontal(2, 1) = enu(2, 1);
  horizontal(2, 2) = enu(2, 2);
  const double ce = cep_doc(horizontal);
  const double le = kLe90Factor * std::sqrt(enu(3, 3));

  enuCovariance(3, 3);  // a smaller output matrix raises the index exception before any write
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) enuCovariance(i, j) = enu(i, j);
  }
  ce90 = ce;
  le90 = le;
}

// ---- Geodetic <-> ECEF ----------------------------------------------------------

void CommonModel::geodeticToECEF(double longitude, double latitude, double height, bool metric,
                                 double& x, double& y, double& z) {
  const double a = semiMajorAxisIn(metric);
  const double sinLat = std::sin(latitude);
  const double cosLat = std::cos(latitude);
  const double n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
  x = (n + height) * cosLat * std::cos(longitude);
  y = (n + height) * cosLat * std::sin(longitude);
  z = (n * (1.0 - e2) + height) * sinLat;
}

// Iteration on the Z correction dZ: the normal through the point meets the
// polar axis at Z = -dZ (dZ = N e^2 sin(latitude)). The latitude is taken as
// atan2(Z + dZ, rho), which equals asin((Z + dZ) / r) but stays well
// conditioned near the poles, where the arcsine loses accuracy and can make
// the iteration cycle without end.
void CommonModel::ecefTogeodetic(double x, double y, double z, bool metric, double& longitude,
                                 double& latitude, double& height) {
  const double a = semiMajorAxisIn(metric);
  const double rho2 = x * x + y * y;
  longitude = std::atan2(y, x);
  if (rho2 == 0.0 && z == 0.0) {
    // The earth's centre: every normal passes through it, no latitude.
    latitude = height = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  const double rho = std::sqrt(rho2);
  double dz = e2 * z;
  double previousLatitude = LARGE;
  double lat = 0.0, r = 0.0, n = 0.0;
  for (int iteration = 0; iteration < kMaxGeodeticIterations; ++iteration) {
    const double zc = z + dz;
    r = std::sqrt(rho2 + zc * zc);
    lat = std::atan2(zc, rho);
    const double s = zc / r;  // sin(lat)
    n = a / std::sqrt(1.0 - e2 * s * s);
    const double dzNew = n * e2 * s;
    // Comparisons with a non-number are false and end the loop.
    if (!(std::fabs(lat - previousLatitude) > DLAT_MAX) && !(std::fabs(dzNew - dz) > DZA_MAX)) {
      break;
    }
    previousLatitude = lat;
    dz = dzNew;
  }
  latitude = lat;
  height = r - n;
}

RowVector CommonModel::geodeticToECEF(const RowVector& geodetic, bool metric) {
  double x, y, z;
  geodeticToECEF(geodetic(1), geodetic(2), geodetic(3), metric, x, y, z);
  return rowVector3(x, y, z);
}

RowVector CommonModel::geodeticToGeocentric(const RowVector& geodetic) {
  return geodeticToECEF(geodetic, false);
}

RowVector CommonModel::geodeticToGeocentricMetric(const RowVector& geodetic) {
  return geodeticToECEF(geodetic, true);
}

RowVector CommonModel::ecefTogeodetic(const RowVector& ecef, bool metric) {
  double longitude, latitude, height;
  ecefTogeodetic(ecef(1), ecef(2), ecef(3), metric, longitude, latitude, height);
  return rowVector3(longitude, latitude, height);
}

RowVector CommonModel::geocentricToGeodetic(const RowVector& ecef) {
  return ecefTogeodetic(ecef, false);
}

RowVector CommonModel::geocentricToGeodeticMetric(const RowVector& ecef) {
  return ecefTogeodetic(ecef, true);
}

// ---- Distances ---------------------------------------------------------------------

double CommonModel::getDistanceFeet(const zel::ErrorCoordinate& p1,
                                    const zel::ErrorCoordinate& p2) {
  double x1, y1, z1, x2, y2, z2;
  geodeticToECEF(p1.getLon() * DEG2RAD, p1.getLat() * DEG2RAD, p1.getElev() * M2FT, false, x1, y1,
                 z1);
  geodeticToECEF(p2.getLon() * DEG2RAD, p2.getLat() * DEG2RAD, p2.getElev() * M2FT, false, x2, y2,
                 z2);
  const double dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double CommonModel::getDistanceMeters(const zel::ErrorCoordinate& p1,
                                      const zel::ErrorCoordinate& p2) {
  return getDistanceFeet(p1, p2) * kMetresPerFoot;
}
