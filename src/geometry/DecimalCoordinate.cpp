#include "DecimalCoordinate.h"

#include <cmath>
#include <cstdio>

namespace zel {

namespace {

// WGS 84, as used by the NGS inverse program.
constexpr double SEMI_MAJOR_AXIS_M = 6378137.0;
constexpr double FLATTENING = 0.0033528106647474805;  // 1 / 298.257223563
constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;
constexpr double CONVERGENCE = 5e-12;
// Nearly antipodal points may never converge; the last iterate is taken.
constexpr int MAX_ITERATIONS = 200;

}  // namespace

std::string DecimalCoordinate::toXMLString(int which) const {
  double value;
  switch (which) {
    case 0: value = lon; break;
    case 1: value = lat; break;
    case 2: value = elev; break;
    default: return "";
  }
  char text[400];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

double DecimalCoordinate::distance(DecimalCoordinate* other) const {
  return distance(lat, lon, other->lat, other->lon);
}

double DecimalCoordinate::distance(double lat1, double lon1, double lat2, double lon2) {
  if (lon1 == lon2 && lat1 == lat2) return 0.0;
  const double r = 1.0 - FLATTENING;
  const double f = FLATTENING;
  const double phi1 = lat1 * RADIANS_PER_DEGREE;
  const double phi2 = lat2 * RADIANS_PER_DEGREE;
  const double L = lon2 * RADIANS_PER_DEGREE - lon1 * RADIANS_PER_DEGREE;

  double c1 = std::cos(phi1);
  double c2 = std::cos(phi2);
  if (c1 == 0) c1 = 1e-10;
  if (c2 == 0) c2 = 1e-10;
  const double tu1 = r * std::sin(phi1) / c1;
  const double tu2 = r * std::sin(phi2) / c2;
  const double cu1 = 1.0 / std::sqrt(tu1 * tu1 + 1.0);
  const double su1 = cu1 * tu1;
  const double cu2 = 1.0 / std::sqrt(tu2 * tu2 + 1.0);
  const double s = cu1 * cu2;
  const double baz = s * tu2;
  const double faz = baz * tu1;

  double x = L;
  double sy = 0, cy = 0, y = 0, c2a = 0, cz = 0, e = 0;
  for (int iteration = 0; iteration < MAX_ITERATIONS; ++iteration) {
    const double sx = std::sin(x);
    const double cx = std::cos(x);
    const double t1 = cu2 * sx;
    const double t2 = baz - su1 * cu2 * cx;
    sy = std::sqrt(t1 * t1 + t2 * t2);
    cy = s * cx + faz;
    y = std::atan2(sy, cy);
    const double sa = s * sx / sy;
    c2a = 1.0 - sa * sa;
    cz = 2.0 * faz;
    if (c2a > 0) cz = -cz / c2a + cy;
    e = 2.0 * cz * cz - 1.0;
    const double g = ((-3.0 * c2a + 4.0) * f + 4.0) * c2a * f / 16.0;
    const double d = x;
    x = ((e * cy * g + cz) * sy * g + y) * sa;
    x = (1.0 - g) * x * f + L;
    if (std::fabs(d - x) <= CONVERGENCE) break;
  }

  const double ep2 = 1.0 / r / r - 1.0;
  const double u = std::sqrt(ep2 * c2a + 1.0) + 1.0;
  double X = (u - 2.0) / u;
  const double Q = (X * X / 4.0 + 1.0) / (1.0 - X);
  const double D = (0.375 * X * X - 1.0) * X;
  const double X2 = e * cy;
  const double S = 1.0 - 2.0 * e;
  return ((((sy * sy * 4.0 - 3.0) * S * cz * D / 6.0 - X2) * D / 4.0 + cz) * sy * D + y) * Q *
         SEMI_MAJOR_AXIS_M * r;
}

}  // namespace zel
