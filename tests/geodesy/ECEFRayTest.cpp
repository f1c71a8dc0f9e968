// Lines in ECEF space: plane intersections, ellipsoid crossings, closest approach.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geodesy/CommonModel.h"
#include "geodesy/ECEFRay.h"

using zel::ECEFRay;

namespace {

const double kPolarAxis = 6378137.0 * (1 - 1 / 298.257223563);  // WGS 84 b, metres

RowVector row(double x, double y, double z) {
  RowVector v(3);
  v(1) = x;
  v(2) = y;
  v(3) = z;
  return v;
}

void expectRow(const RowVector& v, double x, double y, double z, double tol) {
  ASSERT_EQ(v.Ncols(), 3);
  EXPECT_NEAR(v(1), x, tol);
  EXPECT_NEAR(v(2), y, tol);
  EXPECT_NEAR(v(3), z, tol);
}

double dot(const RowVector& a, const RowVector& b) {
  return a(1) * b(1) + a(2) * b(2) + a(3) * b(3);
}

}  // namespace

TEST(ECEFRay, ConstructionCopyAndAccess) {
  const ECEFRay zero;
  expectRow(zero.point, 0, 0, 0, 0);
  expectRow(zero.direction, 0, 0, 0, 0);

  ECEFRay ray(1, 2, 3, 4, 5, 6);
  RowVector p, d;
  ray.get(p, d);
  expectRow(p, 1, 2, 3, 0);
  expectRow(d, 4, 5, 6, 0);

  ECEFRay copy = ray;
  copy.set(row(7, 8, 9), row(0, 0, 1));
  expectRow(ray.point, 1, 2, 3, 0);  // the copy owns its vectors
  expectRow(copy.point, 7, 8, 9, 0);

  RowVector two(2);
  two = 0.0;
  EXPECT_THROW(copy.set(two, row(0, 0, 1)), BaseException);
  expectRow(ECEFRay::cross(row(1, 0, 0), row(0, 1, 0)), 0, 0, 1, 0);
  expectRow(ECEFRay::cross(row(2, 3, 4), row(5, 6, 7)), -3, 6, -3, 0);
}

TEST(ECEFRay, IntersectionOfPlanes) {
  ECEFRay ray;
  // x = 1 and y = 2: the vertical line through (1, 2).
  ray.computeIntersectionOfPlanes(1, 0, 0, 1, 0, 1, 0, 2);
  expectRow(ray.point, 1, 2, 0, 1e-15);
  expectRow(ray.direction, 0, 0, 1, 1e-15);
  // z = 3 and y = 2: direction along -x, point on x = 0.
  ray.computeIntersectionOfPlanes(0, 0, 1, 3, 0, 1, 0, 2);
  expectRow(ray.point, 0, 2, 3, 1e-15);
  expectRow(ray.direction, -1, 0, 0, 1e-15);

  // General planes, one for each choice of coordinate plane (and a tie, which
  // goes to x): the line lies in both planes with a unit direction.
  struct Planes {
    double a1, b1, c1, d1, a2, b2, c2, d2;
    int zeroed;  // the coordinate the point has set to 0 (1 = x)
  } cases[] = {
      {0.2, 1.0, 0.3, 5, 0.1, -0.4, 2.0, -7, 1},
      {1.0, 0.1, 0.2, 5, 0.3, -0.2, 1.5, 4, 2},
      {2.0, -1.0, 0.1, 3, 0.5, 1.5, -0.2, 9, 3},
      {0.0, 0.0, 1.0, 4, 1.0, -1.0, 0.0, 2, 1},  // n = (1, 1, 0)
  };
  for (const Planes& c : cases) {
    ray.computeIntersectionOfPlanes(c.a1, c.b1, c.c1, c.d1, c.a2, c.b2, c.c2, c.d2);
    const RowVector& p = ray.point;
    const RowVector& d = ray.direction;
    for (double t : {0.0, 1000.0}) {
      const RowVector q = p + t * d;
      EXPECT_NEAR(c.a1 * q(1) + c.b1 * q(2) + c.c1 * q(3), c.d1, 1e-9);
      EXPECT_NEAR(c.a2 * q(1) + c.b2 * q(2) + c.c2 * q(3), c.d2, 1e-9);
    }
    EXPECT_NEAR(dot(d, d), 1.0, 1e-15);
    EXPECT_EQ(p(c.zeroed), 0.0);
  }
}

TEST(ECEFRay, GroundIntersectionTakesTheNearerRoot) {
  RowVector result;
  // From 10,000 km out along the equator toward the centre.
  ECEFRay inward(1e7, 0, 0, -1, 0, 0);
  inward.groundIntersection(0, result);
  expectRow(result, 6378137, 0, 0, 1e-6);
  // Pointing away from the earth: still the crossing nearer the point.
  ECEFRay outward(1e7, 0, 0, 1, 0, 0);
  outward.groundIntersection(0, result);
  expectRow(result, 6378137, 0, 0, 1e-6);
  // The ellipsoid raised by 1000 m.
  inward.groundIntersection(1000, result);
  expectRow(result, 6379137, 0, 0, 1e-6);
  // Along the polar axis from high above the north pole.
  ECEFRay polar(0, 0, 2e7, 0, 0, -3);
  polar.groundIntersection(500, result);
  expectRow(result, 0, 0, kPolarAxis + 500, 1e-6);
}

TEST(ECEFRay, GroundIntersectionTieOnThePolarAxisTakesTheFirstRoot) {
  ECEFRay fromCentre(0, 0, 0, 0, 0, 1);
  RowVector result;
  fromCentre.groundIntersection(0, result);
  expectRow(result, 0, 0, -kPolarAxis, 1e-6);
}

TEST(ECEFRay, GroundIntersectionMissLeavesTheResultAndSaysSo) {
  ECEFRay miss(1e7, 0, 0, 0, 1, 0);
  RowVector result = row(1, 2, 3);
  testing::internal::CaptureStderr();
  miss.groundIntersection(0, result);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Square root of negative; ECEF::groundIntersection\n");
  expectRow(result, 1, 2, 3, 0);
}

// p1 = 0 along x; p2 = (0, 1, 1) along z: closest points (0, 0, 0) and (0, 1, 0).
TEST(ECEFRay, ClosestApproachOfSkewRaysBothForms) {
  const ECEFRay a(0, 0, 0, 1, 0, 0);
  const ECEFRay b(0, 1, 1, 0, 0, 1);
  RowVector midpoint, separation;
  a.calcPointOfClosestApproach(b, midpoint, separation);
  expectRow(midpoint, 0, 0.5, 0, 1e-15);
  expectRow(separation, 0, -1, 0, 1e-15);  // from b's closest point to a's

  testing::internal::CaptureStdout();
  a.computePointOfClosestApproach(b, midpoint, separation);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  expectRow(midpoint, 0, 0.5, 0, 1e-15);
  expectRow(separation, 0, 1, 0, 1e-15);  // from a's closest point to b's
}

TEST(ECEFRay, ClosestApproachFormsAgreeOnGeneralRays) {
  const ECEFRay a(6378137, 10, -20, 0.3, -0.2, 0.9);
  const ECEFRay b(6378000, 300, 150, -0.5, 0.1, 0.7);
  RowVector m1, s1, m2, s2;
  a.calcPointOfClosestApproach(b, m1, s1);
  testing::internal::CaptureStdout();
  a.computePointOfClosestApproach(b, m2, s2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  for (int i = 1; i <= 3; ++i) {
    EXPECT_NEAR(m1(i), m2(i), 1e-6);
    EXPECT_NEAR(s1(i), -s2(i), 1e-6);
  }
  // The separation is perpendicular to both lines.
  EXPECT_NEAR(dot(s1, a.direction), 0, 1e-6);
  EXPECT_NEAR(dot(s1, b.direction), 0, 1e-6);
}

TEST(ECEFRay, ParallelLinesAreReportedAndGiveNonNumbers) {
  const ECEFRay a(0, 0, 0, 1, 0, 0);
  const ECEFRay b(0, 1, 0, 2, 0, 0);
  RowVector midpoint, separation;
  a.calcPointOfClosestApproach(b, midpoint, separation);
  EXPECT_TRUE(std::isnan(midpoint(1)) || std::isinf(midpoint(1)));

  testing::internal::CaptureStdout();
  a.computePointOfClosestApproach(b, midpoint, separation);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "***** ECEF:156 ERROR: lines are parllel ****\n\n"
            "**** ECEF:168 ERROR: determinantT1 == 0.0 ****\n\n");
  EXPECT_TRUE(std::isnan(midpoint(1)));
}

TEST(ECEFRay, ZeroDirectionIsReported) {
  const ECEFRay a(0, 0, 0, 0, 0, 0);
  const ECEFRay b(0, 1, 0, 0, 0, 1);
  RowVector midpoint, separation;
  testing::internal::CaptureStdout();
  a.computePointOfClosestApproach(b, midpoint, separation);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("**** ECEF:152 ERROR: denominator == 0.0 ****\n\n", 0), 0u) << out;
}
