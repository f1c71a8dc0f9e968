// East-north-up rotations, cross products and the CE90/LE90 figures of CommonModel.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "geodesy/CommonModel.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

ColumnVector column(double a, double b, double c) {
  ColumnVector v(3);
  v(1) = a;
  v(2) = b;
  v(3) = c;
  return v;
}

Matrix matrix2(double c11, double c12, double c21, double c22) {
  Matrix m(2, 2);
  m(1, 1) = c11;
  m(1, 2) = c12;
  m(2, 1) = c21;
  m(2, 2) = c22;
  return m;
}

void expectColumn(const ColumnVector& v, double a, double b, double c, double tol) {
  ASSERT_EQ(v.Nrows(), 3);
  EXPECT_NEAR(v(1), a, tol);
  EXPECT_NEAR(v(2), b, tol);
  EXPECT_NEAR(v(3), c, tol);
}

// Runs cep_doc and returns the message of the BaseException* it throws, or ""
// when it does not throw.
std::string cepFailure(const Matrix& m) {
  try {
    CommonModel::cep_doc(m);
  } catch (BaseException* e) {
    const std::string text = BaseException::what();
    delete e;
    return text;
  }
  return "";
}

}  // namespace

TEST(LocalFrame, AzimuthElevationToENU) {
  expectColumn(CommonModel::azElToENU(0, 0), 0, 1, 0, 1e-15);
  expectColumn(CommonModel::azElToENU(90, 0), 1, 0, 0, 1e-8);  // eight-decimal pi
  expectColumn(CommonModel::azElToENU(180, 0), 0, -1, 0, 1e-8);
  expectColumn(CommonModel::azElToENU(0, 90), 0, 0, 1, 1e-8);
  const double h = std::cos(kPi / 6);
  expectColumn(CommonModel::azElToENU(225, 30), -h * std::sqrt(0.5), -h * std::sqrt(0.5), 0.5,
               1e-8);
}

TEST(LocalFrame, ENUAxesInECEFAtKnownPlaces) {
  // At (0, 0): east is +Y, north +Z, up +X.
  expectColumn(CommonModel::enuToECEF(0, 0, column(1, 0, 0)), 0, 1, 0, 1e-15);
  expectColumn(CommonModel::enuToECEF(0, 0, column(0, 1, 0)), 0, 0, 1, 1e-15);
  expectColumn(CommonModel::enuToECEF(0, 0, column(0, 0, 1)), 1, 0, 0, 1e-15);
  // At the north pole on longitude 90 E: east is -X, north -Y, up +Z.
  expectColumn(CommonModel::enuToECEF(90, 90, column(1, 0, 0)), -1, 0, 0, 1e-8);
  expectColumn(CommonModel::enuToECEF(90, 90, column(0, 1, 0)), 0, -1, 0, 1e-8);
  expectColumn(CommonModel::enuToECEF(90, 90, column(0, 0, 1)), 0, 0, 1, 1e-8);
}

TEST(LocalFrame, ECEFToENUUndoesENUToECEFOnlyWithLongitudeFirst) {
  const double lat = 37.25, lon = -121.5;
  const ColumnVector v = column(3, -4, 12);
  const ColumnVector ecef = CommonModel::enuToECEF(lat, lon, v);
  expectColumn(CommonModel::ecefToENU(lon, lat, ecef), 3, -4, 12, 1e-12);
  const ColumnVector swapped = CommonModel::ecefToENU(lat, lon, ecef);
  EXPECT_GT(std::fabs(swapped(1) - 3) + std::fabs(swapped(2) + 4), 1.0);
}

TEST(CrossProduct, RightHandedAndZeroOnWrongSizes) {
  expectColumn(CommonModel::cross(column(1, 0, 0), column(0, 1, 0)), 0, 0, 1, 0);
  expectColumn(CommonModel::cross(column(2, 3, 4), column(5, 6, 7)), -3, 6, -3, 0);
  ColumnVector two(2);
  two = 1.0;
  expectColumn(CommonModel::cross(two, column(1, 2, 3)), 0, 0, 0, 0);
  expectColumn(CommonModel::cross(column(1, 2, 3), two), 0, 0, 0, 0);
  EXPECT_DOUBLE_EQ(twoNorm(column(2, 3, 6)), 7.0);
}

// CE90 = factor(ratio) x larger sigma, the factor interpolated in the table
// 0:1.645 0.1:1.648 0.2:1.657 0.3:1.674 0.4:1.699 0.5:1.737 ... 1.0:2.146.
TEST(CircularError, TableOfCovariances) {
  struct Case {
    const char* name;
    Matrix c;
    double ce90;
  };
  const Case cases[] = {
      {"identity: a circle", matrix2(1, 0, 0, 1), 2.146},
      {"diag(4, 0): a line", matrix2(4, 0, 0, 0), 1.645 * 2},
      {"diag(1, 4): ratio 0.5", matrix2(1, 0, 0, 4), 1.737 * 2},
      {"diag(16, 1): ratio 0.25", matrix2(16, 0, 0, 1), (1.657 + 0.5 * (1.674 - 1.657)) * 4},
      // Eigenvalues 6 and 1: ratio 1/sqrt(6).
      {"correlated", matrix2(5, 2, 2, 2),
       (1.699 + (1.737 - 1.699) * (1 / std::sqrt(6.0) - 0.4) / 0.1) * std::sqrt(6.0)},
      {"zero: no error", matrix2(0, 0, 0, 0), 0.0},
      {"singular, correlated", matrix2(1, 2, 2, 4), 1.645 * std::sqrt(5.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(CommonModel::cep_doc(c.c), c.ce90, 1e-12);
  }
}

// Equal variances that differ in the last bit: t^2 - 4 det rounds below zero
// here, which would turn the eigenvalues into non-numbers and the CE90 into 0.
TEST(CircularError, NearlyCircularCovarianceIsNotZero) {
  const double v1 = 35.82864209937752, v2 = 35.828642099377525;
  EXPECT_NEAR(CommonModel::cep_doc(matrix2(v1, 0, 0, v2)), 2.146 * std::sqrt(v1), 1e-9);
  const double w = 34.1399794968718;
  EXPECT_NEAR(CommonModel::cep_doc(
                  matrix2(w, 3.4139979496871806e-08, 3.4139979496871806e-08, 34.13997949687184)),
              2.146 * std::sqrt(w), 1e-6);
}

TEST(CircularError, RejectsCovariancesThatAreNotPositiveDefinite) {
  const std::string message = "Cannot calculate CE: Matrix is not positive definite";
  // Determinant -3.
  EXPECT_NE(cepFailure(matrix2(1, 2, 2, 1)).find(message), std::string::npos);
  // Positive determinant, negative trace: both variances negative.
  EXPECT_NE(cepFailure(matrix2(-1, 0, 0, -4)).find(message), std::string::npos);
  // A zero determinant is accepted.
  EXPECT_EQ(cepFailure(matrix2(4, 0, 0, 0)), "");
}

// A covariance built in local east-north-up axes and rotated into ECEF with a
// rotation built here from the geodetic latitude and longitude comes back
// unchanged, with CE90 and LE90 from its horizontal and vertical parts.
TEST(PositionError, RotatesTheCovarianceIntoLocalAxes) {
  const double lat = 37.0 * kPi / 180, lon = -122.0 * kPi / 180;
  const double sl = std::sin(lat), cl = std::cos(lat), so = std::sin(lon), co = std::cos(lon);
  Matrix r(3, 3);  // rows east, north, up
  r(1, 1) = -so, r(1, 2) = co, r(1, 3) = 0;
  r(2, 1) = -sl * co, r(2, 2) = -sl * so, r(2, 3) = cl;
  r(3, 1) = cl * co, r(3, 2) = cl * so, r(3, 3) = sl;

  Matrix enu(3, 3);
  enu(1, 1) = 4.0, enu(1, 2) = 1.5, enu(1, 3) = 0.3;
  enu(2, 1) = 1.5, enu(2, 2) = 9.0, enu(2, 3) = -0.6;
  enu(3, 1) = 0.3, enu(3, 2) = -0.6, enu(3, 3) = 2.25;
  Matrix ecef = r.t() * enu * r;

  // A point on the ellipsoid at that latitude and longitude (metres).
  RowVector g(3);
  g(1) = lon, g(2) = lat, g(3) = 0.0;
  const RowVector p = CommonModel::geodeticToGeocentricMetric(g);

  Matrix out(3, 3);
  out = 0.0;
  double ce90 = -1, le90 = -1;
  CommonModel::calculatePositionError(column(p(1), p(2), p(3)), ecef, ce90, le90, out);
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(out(i, j), enu(i, j), 1e-12) << i << "," << j;
  }
  EXPECT_NEAR(ce90, CommonModel::cep_doc(matrix2(4.0, 1.5, 1.5, 9.0)), 1e-12);
  EXPECT_NEAR(le90, 1.645 * 1.5, 1e-12);
}

TEST(PositionError, IsotropicCovarianceGivesCircleAndLineFactors) {
  Matrix ecef(3, 3);
  ecef = 0.0;
  ecef(1, 1) = ecef(2, 2) = ecef(3, 3) = 25.0;
  Matrix out(3, 3);
  double ce90, le90;
  CommonModel::calculatePositionError(column(-2.7e6, 4.1e6, -3.9e6), ecef, ce90, le90, out);
  EXPECT_NEAR(ce90, 2.146 * 5, 1e-9);
  EXPECT_NEAR(le90, 1.645 * 5, 1e-9);
}

// On the polar axis east is undefined; the axes of longitude 0 stand in (east
// +Y, north -X at the north pole), so the figures stay defined (CE90 does not
// depend on the choice of horizontal axes).
TEST(PositionError, PolarAxisUsesTheAxesOfLongitudeZero) {
  Matrix ecef(3, 3);
  ecef = 0.0;
  ecef(1, 1) = 4.0;  // X
  ecef(2, 2) = 1.0;  // Y
  ecef(3, 3) = 9.0;  // Z
  Matrix out(3, 3);
  double ce90 = 0, le90 = 0;
  CommonModel::calculatePositionError(column(0, 0, 6356752.3), ecef, ce90, le90, out);
  EXPECT_NEAR(ce90, 1.737 * 2, 1e-12);  // sigmas 2 and 1: ratio 0.5
  EXPECT_NEAR(le90, 1.645 * 3, 1e-12);
  EXPECT_NEAR(out(1, 1), 1.0, 1e-12);  // east = Y
  EXPECT_NEAR(out(2, 2), 4.0, 1e-12);  // north = -X
  EXPECT_NEAR(out(3, 3), 9.0, 1e-12);
}

TEST(PositionError, FailuresPassThroughAndLeaveTheOutputs) {
  Matrix ecef(3, 3);
  ecef = 0.0;
  ecef(1, 1) = ecef(2, 2) = ecef(3, 3) = 1.0;
  double ce90 = -999, le90 = -999;

  // Output matrix too small: the matrix library's own exception.
  Matrix small(2, 2);
  EXPECT_THROW(CommonModel::calculatePositionError(column(6378137, 0, 0), ecef, ce90, le90, small),
               BaseException);
  EXPECT_EQ(ce90, -999);
  EXPECT_EQ(le90, -999);

  // A horizontal covariance that is not positive definite: cep_doc's pointer.
  ecef(2, 3) = ecef(3, 2) = 3.0;  // at (0, 0): east = Y, north = Z
  Matrix out(3, 3);
  out = 7.0;
  bool thrown = false;
  try {
    CommonModel::calculatePositionError(column(6378137, 0, 0), ecef, ce90, le90, out);
  } catch (BaseException* e) {
    thrown = true;
    delete e;
  }
  EXPECT_TRUE(thrown);
  EXPECT_EQ(ce90, -999);
  EXPECT_EQ(out(1, 1), 7.0);
}
