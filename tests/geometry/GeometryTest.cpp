#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "geometry/Geometry.h"
#include "geometry/VectorData.h"

using namespace zel;

namespace {

using XY = std::vector<std::pair<double, double>>;
using PixelList = std::unique_ptr<DLinkedList<PixelCoordinate>>;

PixelList pixels(const XY& xy) {
  PixelList list(new DLinkedList<PixelCoordinate>());
  for (auto [x, y] : xy) list->add(new PixelCoordinate(x, y));
  return list;
}

XY values(DLinkedList<PixelCoordinate>* list) {
  XY out;
  for (int i = 0; i < list->size(); ++i) out.emplace_back(list->get(i)->x, list->get(i)->y);
  delete list;
  return out;
}

XY intersections(XY s, double tolerance = -1) {
  PixelCoordinate p1(s[0].first, s[0].second), p2(s[1].first, s[1].second);
  PixelCoordinate q1(s[2].first, s[2].second), q2(s[3].first, s[3].second);
  return values(Geometry::getIntersections(&p1, &p2, &q1, &q2, tolerance));
}

std::vector<DecimalCoordinate> lonLat(const XY& points) {
  std::vector<DecimalCoordinate> out;
  for (auto [lon, lat] : points) out.emplace_back(lat, lon);
  return out;
}

}  // namespace

TEST(Geometry, PolygonAreaSignFollowsVertexOrder) {
  EXPECT_EQ(Geometry::getPolygonArea(pixels({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).get(), true), 1);
  EXPECT_EQ(Geometry::getPolygonArea(pixels({{0, 0}, {0, 1}, {1, 1}, {1, 0}}).get(), true), -1);
  EXPECT_EQ(Geometry::getPolygonArea(pixels({{0, 0}, {0, 1}, {1, 1}, {1, 0}}).get(), false), 1);
  EXPECT_EQ(Geometry::getPolygonArea(pixels({{0, 0}, {5, 5}}).get(), false), 0);
  EXPECT_EQ(Geometry::getPolygonArea(nullptr, false), 0);
}

TEST(Geometry, ProductsAndAngles) {
  PixelCoordinate o(1, 1), a(3, 1), b(1, 4), c(3, 3);
  EXPECT_EQ(Geometry::crossProduct(&a, &o, &b), 6);  // (4-1)(3-1) - 0
  EXPECT_EQ(Geometry::dotProduct(&a, &o, &b), 0);
  EXPECT_DOUBLE_EQ(Geometry::calculateAngle(&a, &o, &b), 90);
  EXPECT_DOUBLE_EQ(Geometry::calculateAngle(&a, &o, &c), 45);
  auto triangle = pixels({{0, 0}, {0, 4}, {4, 0}});
  PixelCoordinate p(1, 1);
  std::unique_ptr<double[]> crosses(Geometry::cornerCrossProduct(&p, triangle.get()));
  EXPECT_EQ(crosses[0], 4);  // (4-0)(1-0) - (1-0)(0-0)
  EXPECT_EQ(crosses[1], 8);  // (0-4)(1-0) - (1-4)(4-0)
  EXPECT_EQ(crosses[2], 4);  // (0-0)(1-4) - (1-0)(0-4)
}

TEST(Geometry, SegmentIntersections) {
  struct Case {
    XY segments;
    XY expected;
  } cases[] = {
      {{{0, 0}, {2, 2}, {0, 2}, {2, 0}}, {{1, 1}}},          // crossing
      {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {}},                // collinear, apart
      {{{0, 0}, {2, 0}, {1, 0}, {3, 0}}, {{2, 0}, {1, 0}}},  // collinear overlap
      {{{0, 0}, {2, 0}, {0, 1}, {2, 1}}, {}},                // parallel
      {{{0, 0}, {2, 2}, {3, 0}, {3, 5}}, {}},                // beyond p's end
      {{{1, -1}, {1, 1}, {0, 0}, {2, 0}}, {{1, 0}}},         // vertical p
      {{{0, 0}, {2, 0}, {1, -1}, {1, 1}}, {{1, 0}}},         // vertical q
      {{{0, 0}, {0, 2}, {0, 1}, {0, 5}}, {{0, 2}, {0, 1}}},  // both vertical, overlap
      {{{0, 0}, {0, 2}, {1, 1}, {1, 5}}, {}},                // both vertical, apart
      {{{0, 0}, {4, 4}, {1, 1}, {2, 2}}, {{1, 1}, {2, 2}}},  // one within the other
      {{{0, 0}, {1, 1}, {1, 1}, {2, 0}}, {{1, 1}}},          // touching ends
  };
  for (const Case& c : cases) {
    EXPECT_EQ(intersections(c.segments), c.expected)
        << c.segments[0].first << "," << c.segments[0].second << " " << c.segments[1].first << ","
        << c.segments[1].second;
  }
  // A crossing within the tolerance of a segment's end counts as on it.
  EXPECT_EQ(intersections({{0, 0}, {1, 1}, {1 + 5e-8, 0}, {1 + 5e-8, 2}}).size(), 1u);
  EXPECT_EQ(intersections({{0, 0}, {1, 1}, {1 + 1e-3, 0}, {1 + 1e-3, 2}}).size(), 0u);
  EXPECT_EQ(intersections({{0, 0}, {1, 1}, {1 + 1e-3, 0}, {1 + 1e-3, 2}}, 1e-2).size(), 1u);
  EXPECT_EQ(intersections({{1, 1}, {1, 1}, {1, 1}, {2, 1}}).size(), 1u);  // a point on a segment
  EXPECT_EQ(intersections({{1, 3}, {1, 3}, {0, 1}, {2, 1}}).size(), 0u);
}

TEST(Geometry, TrimAndOrder) {
  EXPECT_TRUE(values(Geometry::trimCoordinates(pixels({{1, 1}}).get())).empty());
  EXPECT_EQ(values(Geometry::trimCoordinates(
                pixels({{1, 1}, {2, 2}, {1 + 1e-10, 1}, {2, 2}, {3, 1}}).get())),
            (XY{{1, 1}, {2, 2}, {3, 1}}));

  auto square = pixels({{0, 1}, {1, 1}, {0, 0}, {1, 0}});
  EXPECT_EQ(values(Geometry::orderCoordinates(square.get())), (XY{{1, 0}, {0, 0}, {0, 1}, {1, 1}}));
  EXPECT_EQ(square->size(), 0);
  EXPECT_EQ(square->head, nullptr);
  EXPECT_EQ(square->tail, nullptr);
  EXPECT_EQ(square->cursor, nullptr);

  auto single = pixels({{4, 4}});
  EXPECT_TRUE(values(Geometry::orderCoordinates(single.get())).empty());
  EXPECT_EQ(single->size(), 1);

  // Sweep order around a hexagon given shuffled.
  auto hexagon = pixels({{2, 2}, {0, 1}, {1, 0}, {3, 1}, {1, 2}, {2, 0}});
  EXPECT_EQ(values(Geometry::orderCoordinates(hexagon.get())),
            (XY{{2, 0}, {1, 0}, {0, 1}, {1, 2}, {2, 2}, {3, 1}}));
}

TEST(Geometry, CommonPolygonAndCoverage) {
  const Quad unit(0, 0, 1, 0, 1, 1, 0, 1);  // image order: UL, UR, LR, LL with lines down
  EXPECT_DOUBLE_EQ(Geometry::getPercentCoverage(unit, unit, -1), 1.0);
  EXPECT_EQ(Geometry::getPercentCoverage(unit, Quad(5, 5, 6, 5, 6, 6, 5, 6), -1), 0.0);
  EXPECT_DOUBLE_EQ(Geometry::getPercentCoverage(unit, Quad(0.5, 0, 1.5, 0, 1.5, 1, 0.5, 1), -1),
                   0.5);

  // Corners of the other square inside: coverage in either vertex order.
  const XY overlapping = {{0.5, 0.5}, {1.5, 0.5}, {1.5, 1.5}, {0.5, 1.5}};
  for (bool reversed : {false, true}) {
    XY square = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    XY other = overlapping;
    if (reversed)
      std::reverse(square.begin(), square.end()), std::reverse(other.begin(), other.end());
    EXPECT_DOUBLE_EQ(Geometry::getPercentCoverage(pixels(square).get(), pixels(other).get(), -1),
                     0.25);
    EXPECT_EQ(values(Geometry::getAllIntersections(pixels(square).get(), pixels(other).get(), -1)),
              (XY{{1, 0.5}, {0.5, 0.5}, {0.5, 1}, {1, 1}}));
  }
  // A small square wholly inside a large one, and the other way round.
  auto big = pixels({{0, 0}, {0, 4}, {4, 4}, {4, 0}});
  auto small = pixels({{1, 1}, {1, 2}, {2, 2}, {2, 1}});
  EXPECT_DOUBLE_EQ(Geometry::getPercentCoverage(big.get(), small.get(), -1), 1.0 / 16);
  EXPECT_DOUBLE_EQ(Geometry::getPercentCoverage(small.get(), big.get(), -1), 1.0);
  EXPECT_EQ(Geometry::getPercentCoverage(nullptr, big.get(), -1), 0.0);
  EXPECT_EQ(Geometry::getPercentCoverage(pixels({{0, 0}, {1, 1}}).get(), big.get(), -1), 0.0);
  EXPECT_TRUE(values(Geometry::getAllIntersections(nullptr, big.get(), -1)).empty());
}

TEST(Geometry, PolyLineThroughPolygon) {
  auto square = pixels({{0, 0}, {0, 2}, {2, 2}, {2, 0}});
  EXPECT_EQ(values(Geometry::getAllPolyLineIntersections(square.get(),
                                                         pixels({{-1, 1}, {3, 1}}).get(), -1)),
            (XY{{0, 1}, {2, 1}}));
  EXPECT_EQ(values(Geometry::getAllPolyLineIntersections(
                square.get(), pixels({{1, 1}, {3, 1}, {3, 3}}).get(), -1)),
            (XY{{1, 1}, {2, 1}}));
  EXPECT_TRUE(values(Geometry::getAllPolyLineIntersections(square.get(), nullptr, -1)).empty());
}

TEST(Geometry, PointInPolygonIsHalfOpen) {
  double xs[] = {0, 2, 2, 0}, ys[] = {0, 0, 2, 2};
  EXPECT_EQ(Geometry::pointInPoly(1, 0, xs, ys, 4), 1);  // bottom edge
  EXPECT_EQ(Geometry::pointInPoly(1, 2, xs, ys, 4), 0);  // top edge
  EXPECT_EQ(Geometry::pointInPoly(1, 1, xs, ys, 4), 1);
  EXPECT_EQ(Geometry::pointInPoly(3, 1, xs, ys, 4), 0);
  EXPECT_EQ(Geometry::pointInPoly(1, 1, xs, ys, 0), 0);
  // A concave polygon (even-odd rule).
  PixelCoordinate inNotch(2, 3), inArm(0.5, 3);
  auto u = pixels({{0, 0}, {4, 0}, {4, 4}, {3, 4}, {3, 1}, {1, 1}, {1, 4}, {0, 4}});
  EXPECT_EQ(Geometry::isPointInsidePolygon(&inNotch, u.get()), 0);
  EXPECT_EQ(Geometry::isPointInsidePolygon(&inArm, u.get()), 1);
  EXPECT_EQ(Geometry::isPointInsidePolygon(DecimalCoordinate(1, 0.5),
                                           lonLat({{0, 0}, {2, 0}, {2, 2}, {0, 2}})),
            1);
}

TEST(Geometry, PointInsideGeoQuadAcrossTheAntimeridian) {
  GeoQuad across(20, 179, 20, -179, 10, -179, 10, 179);
  PixelCoordinate east(-179.5, 15), west(179.5, 15), far(0, 15), north(-179.5, 25);
  EXPECT_TRUE(Geometry::isPointInside(&east, &across));
  EXPECT_TRUE(Geometry::isPointInside(&west, &across));
  EXPECT_FALSE(Geometry::isPointInside(&far, &across));
  EXPECT_FALSE(Geometry::isPointInside(&north, &across));
  GeoQuad plain(20, 10, 20, 12, 10, 12, 10, 10);
  PixelCoordinate inside(11, 15), onEdge(10, 15);
  EXPECT_TRUE(Geometry::isPointInside(&inside, &plain));
  EXPECT_TRUE(Geometry::isPointInside(&onEdge, &plain));
  EXPECT_FALSE(Geometry::isPointInside(nullptr, &plain));
  EXPECT_FALSE(Geometry::isPointInside(&inside, nullptr));
}

TEST(Geometry, GeographicPolygonsIntersecting) {
  auto large = lonLat({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  auto inside = lonLat({{4, 4}, {5, 4}, {5, 5}});
  auto crossing = lonLat({{8, 8}, {12, 8}, {12, 12}, {8, 12}});
  auto apart = lonLat({{20, 20}, {21, 20}, {21, 21}});
  // Boxes overlap but the triangles do not meet.
  auto lower = lonLat({{0, 0}, {10, 0}, {0, 10}});
  auto upper = lonLat({{10, 10}, {10, 6}, {6, 10}});
  std::vector<DecimalCoordinate> none;
  EXPECT_TRUE(Geometry::polygonsIntersecting(large, inside));
  EXPECT_TRUE(Geometry::polygonsIntersecting(inside, large));
  EXPECT_TRUE(Geometry::polygonsIntersecting(large, crossing));
  EXPECT_FALSE(Geometry::polygonsIntersecting(large, apart));
  EXPECT_FALSE(Geometry::polygonsIntersecting(lower, upper));
  EXPECT_FALSE(Geometry::polygonsIntersecting(large, none));

  std::vector<DecimalCoordinate> box;
  Geometry::getMBR(crossing, box);
  ASSERT_EQ(box.size(), 4u);
  EXPECT_EQ(box[0].lat, 12);
  EXPECT_EQ(box[0].lon, 8);
  EXPECT_EQ(box[2].lat, 8);
  EXPECT_EQ(box[2].lon, 12);
  Geometry::getMBR(none, box);
  EXPECT_EQ(box.size(), 4u);
  EXPECT_THROW(Geometry::doesOverlap(box, none), std::out_of_range);
}

TEST(Geometry, Bearings) {
  const DecimalCoordinate origin(0, 0);
  EXPECT_NEAR(Geometry::getBearing(origin, DecimalCoordinate(0, 1)), 90, 1e-12);
  EXPECT_NEAR(Geometry::getBearing(origin, DecimalCoordinate(1, 0)), 0, 1e-12);
  EXPECT_NEAR(Geometry::getBearing(origin, DecimalCoordinate(0, -1)), -90, 1e-12);
  EXPECT_NEAR(Geometry::getBearing(origin, DecimalCoordinate(-1, 0)), 180, 1e-12);
  // Initial azimuths on a sphere from GeographicLib:
  //   echo "60 0 60 90" | GeodSolve -i -e 1 0 -p 12        -> 49.106605350869096
  //   echo "-33.9 18.4 51.5 -0.13" | GeodSolve -i -e 1 0 -p 12 -> -11.426965701656936
  EXPECT_NEAR(Geometry::getBearing(DecimalCoordinate(60, 0), DecimalCoordinate(60, 90)),
              49.106605350869096, 1e-9);
  EXPECT_NEAR(Geometry::getBearing(DecimalCoordinate(-33.9, 18.4), DecimalCoordinate(51.5, -0.13)),
              -11.426965701656936, 1e-9);
}

TEST(VectorData, OwnsItsPointsAndRegistrationList) {
  auto* points = new DLinkedList<DecimalCoordinate>();
  points->add(new DecimalCoordinate(1, 2));
  VectorData data(points, true, false);
  EXPECT_TRUE(data.isConnected());
  EXPECT_FALSE(data.isClosed());
  EXPECT_EQ(data.regCoords, nullptr);

  data.addRegCoords(new RegCoord(10, 20));
  data.addRegCoords(new RegCoord(11, 21));
  ASSERT_NE(data.regCoords, nullptr);
  EXPECT_EQ(data.regCoords->size(), 2);
  EXPECT_EQ(data.regCoords->get(0)->getLat(), 11);  // added at the front
  EXPECT_EQ(data.regCoords->tail->element->getLat(), 10);
  EXPECT_EQ(data.regCoords->cursorIndex, 1);  // the cursor stays on its node
  EXPECT_EQ(data.regCoords->cursor->element->getLat(), 10);

  // A second list replaces the first; its nodes move over.
  auto* replacement = new DLinkedList<RegCoord>();
  replacement->add(new RegCoord(30, 40));
  replacement->add(new RegCoord(31, 41));
  replacement->add(new RegCoord(32, 42));
  EXPECT_EQ(data.setRegCoords(replacement), 0);
  EXPECT_EQ(data.regCoords->size(), 3);
  EXPECT_EQ(data.regCoords->get(2)->getLat(), 32);
  EXPECT_EQ(data.setRegCoords(data.regCoords), 0);  // its own list: nothing changes
  EXPECT_EQ(data.regCoords->size(), 3);

  VectorData empty;
  auto* first = new DLinkedList<RegCoord>();
  first->add(new RegCoord(1, 1));
  empty.setRegCoords(first);
  EXPECT_EQ(empty.regCoords, first);
  EXPECT_EQ(empty.points, nullptr);
}
