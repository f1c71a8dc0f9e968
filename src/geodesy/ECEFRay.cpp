#include "ECEFRay.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include "CommonModel.h"

namespace zel {

namespace {

// Name and line numbers the closest-approach diagnostics report.
constexpr const char* kUnitName = "ECEF";
constexpr int kLineDenominator = 152;
constexpr int kLineParallel = 156;
constexpr int kLineDeterminant = 168;

// Largest absolute component of a 3-vector.
double maxAbs(const RowVector& v) {
  return std::fmax(std::fabs(v(1)), std::fmax(std::fabs(v(2)), std::fabs(v(3))));
}

double dot3(const RowVector& a, const RowVector& b) {
  return a(1) * b(1) + a(2) * b(2) + a(3) * b(3);
}

RowVector vector3(double x, double y, double z) {
  RowVector v(3);
  v(1) = x;
  v(2) = y;
  v(3) = z;
  return v;
}

}  // namespace

ECEFRay::ECEFRay() : point(3), direction(3) {
  point = 0.0;
  direction = 0.0;
}

ECEFRay::ECEFRay(double px, double py, double pz, double dx, double dy, double dz)
    : point(vector3(px, py, pz)), direction(vector3(dx, dy, dz)) {}

ECEFRay::ECEFRay(const RowVector& point, const RowVector& direction)
    : point(point), direction(direction) {}

void ECEFRay::set(const RowVector& newPoint, const RowVector& newDirection) {
  // Read everything before writing, so the ray may be set from its own vectors.
  const double p1 = newPoint(1), p2 = newPoint(2), p3 = newPoint(3);
  const double d1 = newDirection(1), d2 = newDirection(2), d3 = newDirection(3);
  point(1) = p1;
  point(2) = p2;
  point(3) = p3;
  direction(1) = d1;
  direction(2) = d2;
  direction(3) = d3;
}

void ECEFRay::get(RowVector& pointOut, RowVector& directionOut) const {
  pointOut = point;
  directionOut = direction;
}

void ECEFRay::computeIntersectionOfPlanes(double a1, double b1, double c1, double d1, double a2,
                                          double b2, double c2, double d2) {
  const double nx = b1 * c2 - c1 * b2;
  const double ny = c1 * a2 - a1 * c2;
  const double nz = a1 * b2 - b1 * a2;
  const double ax = std::fabs(nx), ay = std::fabs(ny), az = std::fabs(nz);

  // The line crosses the coordinate plane across its largest direction
  // component; solve the two plane equations there.
  RowVector p(3);
  if (ax >= ay && ax >= az) {
    p(1) = 0.0;
    p(2) = (c2 * d1 - c1 * d2) / nx;
    p(3) = (b1 * d2 - b2 * d1) / nx;
  } else if (ay >= ax && ay >= az) {
    p(1) = (c1 * d2 - c2 * d1) / ny;
    p(2) = 0.0;
    p(3) = (a2 * d1 - a1 * d2) / ny;
  } else {
    p(1) = (b2 * d1 - b1 * d2) / nz;
    p(2) = (a1 * d2 - a2 * d1) / nz;
    p(3) = 0.0;
  }
  const double scale = 1.0 / std::sqrt(nx * nx + ny * ny + nz * nz);
  set(p, vector3(nx * scale, ny * scale, nz * scale));
}

void ECEFRay::groundIntersection(double height, RowVector& result) {
  const double a = CommonModel::semiMajorAxis + height;
  const double b = CommonModel::semiMajorAxis * (1.0 - CommonModel::flattening) + height;
  const double a2 = a * a, b2 = b * b;
  const double px = point(1), py = point(2), pz = point(3);
  const double dx = direction(1), dy = direction(2), dz = direction(3);

  // (p + t d) on x^2/A^2 + y^2/A^2 + z^2/B^2 = 1: qa t^2 + qb t + qc = 0.
  const double qa = (dx * dx + dy * dy) / a2 + dz * dz / b2;
  const double qb = 2.0 * (px * dx + py * dy) / a2 + 2.0 * pz * dz / b2;
  const double qc = (px * px + py * py) / a2 + pz * pz / b2 - 1.0;
  const double disc = qb * qb - 4.0 * qa * qc;
  if (disc < 0.0) {
    std::cerr << "Square root of negative; ECEF::groundIntersection" << std::endl;
    return;
  }
  const double s = std::sqrt(disc);
  const double t1 = (-qb - s) / (2.0 * qa);
  const double t2 = (s - qb) / (2.0 * qa);
  const double t = std::fabs(t2) < std::fabs(t1) ? t2 : t1;
  result = vector3(px + t * dx, py + t * dy, pz + t * dz);
}

void ECEFRay::calcPointOfClosestApproach(const ECEFRay& other, RowVector& midpoint,
                                         RowVector& separation) const {
  const RowVector& p1 = point;
  const RowVector& d1 = direction;
  const RowVector& p2 = other.point;
  const RowVector& d2 = other.direction;
  const RowVector w = vector3(p2(1) - p1(1), p2(2) - p1(2), p2(3) - p1(3));
  const double a = dot3(d1, d2);
  const double b = dot3(d1, w);
  const double g = dot3(d2, w);
  const double e = dot3(d1, d1);
  const double f = dot3(d2, d2);
  const double det = e * f - a * a;
  const double t1 = (f * b - a * g) / det;
  const double t2 = (a * b - e * g) / det;

  double closest1[3], closest2[3];
  for (int i = 0; i < 3; ++i) {
    closest1[i] = p1(i + 1) + t1 * d1(i + 1);
    closest2[i] = p2(i + 1) + t2 * d2(i + 1);
  }
  midpoint = vector3((closest1[0] + closest2[0]) / 2.0, (closest1[1] + closest2[1]) / 2.0,
                     (closest1[2] + closest2[2]) / 2.0);
  separation =
      vector3(closest1[0] - closest2[0], closest1[1] - closest2[1], closest1[2] - closest2[2]);
}

void ECEFRay::computePointOfClosestApproach(const ECEFRay& other, RowVector& midpoint,
                                            RowVector& separation) const {
  const RowVector& p1 = point;
  const RowVector& d1 = direction;
  const RowVector& p2 = other.point;
  const RowVector& d2 = other.direction;
  const RowVector n = cross(d1, d2);

  const double scale = maxAbs(d2) * maxAbs(d1);
  if (scale == 0.0) {
    std::printf("**** %s:%d ERROR: denominator == 0.0 ****\n\n", kUnitName, kLineDenominator);
  }
  if (maxAbs(n) / scale < 0.0001) {
    std::printf("***** %s:%d ERROR: lines are parllel ****\n\n", kUnitName, kLineParallel);
  }

  const RowVector w = vector3(p2(1) - p1(1), p2(2) - p1(2), p2(3) - p1(3));
  const RowVector m = cross(n, d2);
  const double den = dot3(d1, m);
  const double num1 = dot3(w, m);
  const double num2 = dot3(d1, cross(w, d2));
  if (den == 0.0) {
    std::printf("**** %s:%d ERROR: determinantT1 == 0.0 ****\n\n", kUnitName, kLineDeterminant);
  }
  std::fflush(stdout);

  const double along = num1 / den;   // parameter of this line's closest point
  const double across = num2 / den;  // separation as a multiple of n
  midpoint = vector3(p1(1) + along * d1(1) + 0.5 * across * n(1),
                     p1(2) + along * d1(2) + 0.5 * across * n(2),
                     p1(3) + along * d1(3) + 0.5 * across * n(3));
  separation = vector3(across * n(1), across * n(2), across * n(3));
}

RowVector ECEFRay::cross(const RowVector& a, const RowVector& b) {
  return vector3(a(2) * b(3) - a(3) * b(2), a(3) * b(1) - a(1) * b(3), a(1) * b(2) - a(2) * b(1));
}

}  // namespace zel
