#include <gtest/gtest.h>

#include <cmath>

#include "geometry/DLinkedList.h"
#include "geometry/DecimalCoordinate.h"
#include "geometry/ErrorCoordinate.h"
#include "geometry/GeoQuad.h"
#include "geometry/GeoText.h"
#include "geometry/RegCoord.h"

using namespace zel;

TEST(DecimalCoordinate, ConstructedLatitudeFirstAndPrintedWithSixDecimals) {
  DecimalCoordinate c(10, 20);
  EXPECT_EQ(c.lat, 10);
  EXPECT_EQ(c.lon, 20);
  EXPECT_EQ(c.elev, 0);
  EXPECT_EQ(c.toXMLString(0), "20.000000");
  EXPECT_EQ(DecimalCoordinate(12.5, -3.25, -0.5).toXMLString(1), "12.500000");
  EXPECT_EQ(DecimalCoordinate(12.5, -3.25, -0.5).toXMLString(2), "-0.500000");
  EXPECT_EQ(c.toXMLString(3), "");
  ErrorCoordinate e(1, 2, 3);
  EXPECT_EQ(e.getCE(), 0);
  EXPECT_EQ(e.getLE(), 0);
}

TEST(GeoQuad, CornersAndConversions) {
  GeoQuad q(1, 2, 3, 4, 5, 6, 7, 8);
  EXPECT_EQ(q.getUL().lat, 1);
  EXPECT_EQ(q.getUL().lon, 2);
  EXPECT_EQ(q.getLL().lat, 7);
  Quad p = q.toQuad();
  EXPECT_EQ(p.getUL().x, 2);
  EXPECT_EQ(p.getUL().y, 1);
  EXPECT_EQ(p.getLR().x, 6);
  auto v = q.toGeoVector();
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[GeoQuad::UR_IND].lat, 3);
}

TEST(RegCoord, NullCoordinateReadsZeroAndIgnoresSetters) {
  RegCoord r(nullptr);
  EXPECT_EQ(r.getLat(), 0);
  r.setLat(5);
  EXPECT_EQ(r.getLat(), 0);
  r.setCoord(new DecimalCoordinate(1, 2));
  EXPECT_EQ(r.getLon(), 2);
}

TEST(DLinkedList, GetOutOfRangeAndCursorStaysOnLast) {
  DLinkedList<int> list;
  EXPECT_EQ(list.next(), nullptr);
  for (int i = 0; i < 3; ++i) list.add(new int(i));
  EXPECT_EQ(list.get(-1), nullptr);
  EXPECT_EQ(list.get(list.size()), nullptr);
  EXPECT_EQ(*list.get(2), 2);
  list.reset();
  std::vector<int> seen;
  for (int i = 0; i <= list.size(); ++i) seen.push_back(*list.next());
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 2}));
}

TEST(GeoText, FormatsComparesAndTokenises) {
  EXPECT_EQ(geoDouble2string(3.14159, 3, 2), "3.14");
  EXPECT_EQ(geoDouble2string(-1.5, 8, 3), "  -1.500");
  EXPECT_TRUE(decimalIsEquals(0.1 + 0.2, 0.3, 8));
  EXPECT_TRUE(decimalIsEquals(1.0000001, 1.0, 6));
  EXPECT_FALSE(decimalIsEquals(1.00001, 1.0, 6));
  std::istringstream in("  a  bc\nd ");
  std::string token;
  nextToken(in, token);
  EXPECT_EQ(token, "a");
  nextToken(in, token);
  EXPECT_EQ(token, "bc\nd");
  nextToken(in, token);
  EXPECT_EQ(token, "");
}

// Reference distances from GeographicLib's GeodSolve (-i), WGS 84.
struct GeodesicCase {
  double lat1, lon1, lat2, lon2;
};

TEST(DecimalCoordinate, DistanceMatchesPublishedValues) {
  EXPECT_EQ(DecimalCoordinate::distance(12, 34, 12, 34), 0.0);
  EXPECT_NEAR(DecimalCoordinate::distance(0, 0, 0, 1), 111319.49, 0.01);
  EXPECT_NEAR(DecimalCoordinate::distance(0, 0, 1, 0), 110574.39, 0.01);
  const double pole = DecimalCoordinate::distance(90, 0, 89, 0);
  EXPECT_TRUE(std::isfinite(pole));
  EXPECT_NEAR(pole, 111693.9, 1.0);
}

TEST(DecimalCoordinate, NearlyAntipodalDistanceReturns) {
  const double d = DecimalCoordinate::distance(0, 0, 0.5, 179.7);
  EXPECT_TRUE(std::isfinite(d));
  EXPECT_GT(d, 19.9e6);
  EXPECT_LT(d, 20.1e6);
}
