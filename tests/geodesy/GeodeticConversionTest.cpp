// Geodetic <-> ECEF conversions of CommonModel, checked against GeographicLib
// and PROJ and by round trips.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "geodesy/CommonModel.h"
#include "support/TestPaths.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;  // exact; CommonModel's conversions take radians

RowVector triple(double a, double b, double c) {
  RowVector v(3);
  v(1) = a;
  v(2) = b;
  v(3) = c;
  return v;
}

// Distance in the call's length unit between two geodetic triples, measured in
// ECEF (so a longitude difference at a pole does not count).
double ecefDistance(const RowVector& g1, const RowVector& g2, bool metric) {
  const RowVector d =
      CommonModel::geodeticToECEF(g1, metric) - CommonModel::geodeticToECEF(g2, metric);
  return std::sqrt(d.SumSquare());
}

}  // namespace

TEST(GeodeticConstants, HaveTheirDocumentedValues) {
  EXPECT_EQ(CommonModel::PI, 3.14159265);
  EXPECT_DOUBLE_EQ(CommonModel::DEG2RAD, 0.0174532925);
  EXPECT_DOUBLE_EQ(CommonModel::RAD2DEG, 57.29577957855229);
  EXPECT_EQ(CommonModel::semiMajorAxis, 6378137.0);
  EXPECT_DOUBLE_EQ(CommonModel::flattening, 0.0033528106647474805);
  EXPECT_EQ(CommonModel::f, CommonModel::flattening);
  EXPECT_DOUBLE_EQ(CommonModel::e2, 0.0066943799901413165);
  EXPECT_DOUBLE_EQ(CommonModel::ep2, 0.006739496742276474);
  EXPECT_DOUBLE_EQ(CommonModel::aFt, 20925646.325459316);
  EXPECT_DOUBLE_EQ(CommonModel::M2FT, 3.280839895013123);
  EXPECT_EQ(CommonModel::FT2M, 0.3048);
  EXPECT_EQ(CommonModel::M_PER_FT, 0.3048);
  EXPECT_EQ(CommonModel::LARGE, 999.99);
  EXPECT_EQ(CommonModel::DLAT_MAX, 1e-14);
  EXPECT_EQ(CommonModel::DZA_MAX, 1e-6);
}

TEST(GeodeticToECEF, OriginLiesOnTheSemiMajorAxisInMetresAndFeet) {
  const RowVector m = CommonModel::geodeticToGeocentricMetric(triple(0, 0, 0));
  EXPECT_EQ(m(1), 6378137.0);
  EXPECT_EQ(m(2), 0.0);
  EXPECT_EQ(m(3), 0.0);
  const RowVector ft = CommonModel::geodeticToGeocentric(triple(0, 0, 0));
  EXPECT_DOUBLE_EQ(ft(1), 20925646.325459316);
}

// Reference values from GeographicLib:
//   printf "lat lon h\n..." | CartConvert -p 6
TEST(GeodeticToECEF, AgreesWithGeographicLibCartConvert) {
  struct Case {
    double lat, lon, h, x, y, z;
  };
  const Case cases[] = {
      {0, 0, 0, 6378137.000000, 0.000000, 0.000000},
      {90, 0, 0, 0.000000, 0.000000, 6356752.314245},
      {-90, 45, -500, 0.000000, 0.000000, -6356252.314245},
      {45, -75, 1000, 1169421.570129, -4364340.715190, 4488055.515647},
      {-33.8688, 151.2093, 100000, -4718818.898906, 2593195.303916, -3590101.692829},
      {89.9999999, 10, 1000000, 0.012719, 0.002243, 7356752.314245},
      {-0.000001, -179.999999, -500, -6377637.000000, -0.111311, -0.110566},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon << " " << c.h);
    const RowVector g = triple(c.lon * kDeg, c.lat * kDeg, c.h);
    const RowVector e = CommonModel::geodeticToECEF(g, true);
    EXPECT_NEAR(e(1), c.x, 1e-6);
    EXPECT_NEAR(e(2), c.y, 1e-6);
    EXPECT_NEAR(e(3), c.z, 1e-6);
    // And back, to 0.1 mm.
    const RowVector back = CommonModel::ecefTogeodetic(triple(c.x, c.y, c.z), true);
    EXPECT_LT(ecefDistance(back, g, true), 1e-4);
    EXPECT_NEAR(back(3), c.h, 1e-4);
  }
}

// A sweep against PROJ at run time: geodetic (EPSG:4979) to ECEF (EPSG:4978).
TEST(GeodeticToECEF, AgreesWithProjOverAGlobalGrid) {
  if (!testsupport::haveCommand("cs2cs")) GTEST_SKIP() << "cs2cs (proj-bin) not installed";
  std::vector<RowVector> points;  // (lat, lon, h) in degrees and metres
  for (double lat : {-90.0, -89.99999, -60.0, -1e-7, 0.0, 23.5, 71.25, 89.999999, 90.0}) {
    for (double lon : {-180.0, -97.5, -0.001, 0.0, 33.3, 135.0, 179.9999}) {
      for (double h : {-500.0, 0.0, 8848.0, 400000.0, 1000000.0})
        points.push_back(triple(lat, lon, h));
    }
  }
  const std::string input = testsupport::scratchPath("geodetic_cs2cs_points.txt");
  std::ostringstream text;
  text.precision(17);
  for (const RowVector& p : points) text << p(1) << ' ' << p(2) << ' ' << p(3) << '\n';
  testsupport::writeWholeFile(input, text.str());
  std::istringstream out(
      testsupport::runCommand("cs2cs -f %.6f EPSG:4979 +to EPSG:4978 < " + input));

  for (const RowVector& p : points) {
    SCOPED_TRACE(testing::Message() << p(1) << " " << p(2) << " " << p(3));
    double x, y, z;
    ASSERT_TRUE(out >> x >> y >> z);
    const RowVector g = triple(p(2) * kDeg, p(1) * kDeg, p(3));
    const RowVector e = CommonModel::geodeticToECEF(g, true);
    EXPECT_NEAR(e(1), x, 1e-4);
    EXPECT_NEAR(e(2), y, 1e-4);
    EXPECT_NEAR(e(3), z, 1e-4);
    const RowVector back = CommonModel::ecefTogeodetic(triple(x, y, z), true);
    EXPECT_LT(ecefDistance(back, g, true), 1e-4);
    EXPECT_NEAR(back(3), p(3), 1e-4);
  }
}

TEST(ECEFToGeodetic, RoundTripsInMetresAndFeetFromBelowGroundToOrbit) {
  for (bool metric : {true, false}) {
    const double unit = metric ? 1.0 : CommonModel::M2FT;
    for (double lat : {-90.0, -89.9999999, -45.0, -1e-9, 0.0, 30.0, 89.99999, 90.0}) {
      for (double lon : {-180.0, -75.0, 0.0, 120.0, 179.99}) {
        for (double hMetres : {-500.0, 0.0, 1000.0, 100000.0, 1000000.0}) {
          SCOPED_TRACE(testing::Message() << metric << " " << lat << " " << lon << " " << hMetres);
          const RowVector g = triple(lon * kDeg, lat * kDeg, hMetres * unit);
          const RowVector back =
              CommonModel::ecefTogeodetic(CommonModel::geodeticToECEF(g, metric), metric);
          EXPECT_NEAR(back(2), g(2), 1e-13);
          EXPECT_NEAR(back(3), g(3), 1e-6 * unit);
          EXPECT_LT(ecefDistance(back, g, metric), 1e-6 * unit);
          if (std::fabs(lat) < 89.0) {
            EXPECT_NEAR(back(1), g(1), 1e-13);
          }
        }
      }
    }
  }
}

TEST(ECEFToGeodetic, FeetAreMetresScaled) {
  const RowVector gm = triple(-1.2, 0.7, 1234.5);
  const RowVector gf = triple(-1.2, 0.7, 1234.5 * CommonModel::M2FT);
  const RowVector m = CommonModel::geodeticToGeocentricMetric(gm);
  const RowVector ft = CommonModel::geodeticToGeocentric(gf);
  for (int i = 1; i <= 3; ++i) EXPECT_NEAR(ft(i), m(i) * CommonModel::M2FT, 1e-6);
  const RowVector back = CommonModel::geocentricToGeodetic(ft);
  EXPECT_NEAR(back(3), 1234.5 * CommonModel::M2FT, 1e-6);
}

TEST(ECEFToGeodetic, PolarAxisGivesLongitudeZeroAndAPole) {
  const double b = CommonModel::semiMajorAxis * (1 - CommonModel::flattening);
  const RowVector north = CommonModel::geocentricToGeodeticMetric(triple(0, 0, b + 250));
  EXPECT_EQ(north(1), 0.0);
  EXPECT_DOUBLE_EQ(north(2), kPi / 2);
  EXPECT_NEAR(north(3), 250, 1e-6);
  const RowVector south = CommonModel::geocentricToGeodeticMetric(triple(0, 0, -b));
  EXPECT_DOUBLE_EQ(south(2), -kPi / 2);
  EXPECT_NEAR(south(3), 0, 1e-6);
}

// 17 cm from the polar axis at 100 km height: a latitude taken as the arcsine
// of Z/r alternates here between two values 1e-13 apart forever; the iteration
// must end with the right answer (GeographicLib: CartConvert -r -p 9).
TEST(ECEFToGeodetic, EndsNearThePoleWhereAnArcsineIterationCycles) {
  const RowVector g =
      CommonModel::geocentricToGeodeticMetric(triple(0.17404997643862447, 0, 6456752.314245177));
  EXPECT_NEAR(g(2), 89.99999846569960 * kDeg, 1e-14);
  EXPECT_NEAR(g(3), 100000.0, 1e-6);
}

TEST(ECEFToGeodetic, PointsInsideTheEarthEndWithoutHanging) {
  // The earth's centre has no latitude: non-numbers.
  const RowVector centre = CommonModel::geocentricToGeodeticMetric(triple(0, 0, 0));
  EXPECT_EQ(centre(1), 0.0);
  EXPECT_TRUE(std::isnan(centre(2)));
  EXPECT_TRUE(std::isnan(centre(3)));
  // The position an unconverged image-to-ground leaves behind (-999 m each).
  const RowVector unconverged = CommonModel::geocentricToGeodeticMetric(triple(-999, -999, -999));
  EXPECT_NEAR(unconverged(1), -0.75 * kPi, 1e-12);
  EXPECT_LT(unconverged(3), -6.3e6);
  // Near a*e^2 from the centre, where the iteration contracts slowly.
  const RowVector slow = CommonModel::geocentricToGeodeticMetric(triple(43055.5844527387, 0, -177));
  EXPECT_TRUE(std::isfinite(slow(2)));
}

TEST(ECEFToGeodetic, NumberFormsMatchTheVectorForms) {
  double x, y, z, lon, lat, h;
  CommonModel::geodeticToECEF(0.3, -0.2, 55.0, false, x, y, z);
  const RowVector e = CommonModel::geodeticToGeocentric(triple(0.3, -0.2, 55.0));
  EXPECT_EQ(x, e(1));
  EXPECT_EQ(y, e(2));
  EXPECT_EQ(z, e(3));
  CommonModel::ecefTogeodetic(x, y, z, false, lon, lat, h);
  const RowVector g = CommonModel::geocentricToGeodetic(e);
  EXPECT_EQ(lon, g(1));
  EXPECT_EQ(lat, g(2));
  EXPECT_EQ(h, g(3));
}

TEST(ECEFToGeodetic, WrongSizeRaisesTheMatrixLibraryException) {
  RowVector two(2);
  two = 1.0;
  EXPECT_THROW(CommonModel::geodeticToECEF(two, true), BaseException);
}

TEST(Distance, IsTheChordInFeetOrMetres) {
  using zel::ErrorCoordinate;
  const ErrorCoordinate p(12.5, -40.25, 300.0);
  EXPECT_EQ(CommonModel::getDistanceMeters(p, p), 0.0);

  // Straight up: the elevation difference.
  const ErrorCoordinate above(12.5, -40.25, 1300.0);
  EXPECT_NEAR(CommonModel::getDistanceMeters(p, above), 1000.0, 1e-6);
  EXPECT_NEAR(CommonModel::getDistanceFeet(p, above), 1000.0 / 0.3048, 1e-6);

  // One degree (the class's eight-decimal degree) along the equator: the chord
  // 2 a sin(d/2), shorter than the arc.
  const ErrorCoordinate e1(0.0, 10.0, 0.0), e2(0.0, 11.0, 0.0);
  const double chord = 2 * 6378137.0 * std::sin(0.5 * 0.0174532925);
  EXPECT_NEAR(CommonModel::getDistanceMeters(e1, e2), chord, 1e-6);
  EXPECT_LT(CommonModel::getDistanceMeters(e1, e2), 6378137.0 * 0.0174532925);
}
