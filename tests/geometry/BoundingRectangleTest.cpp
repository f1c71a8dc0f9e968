#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry/BoundingRectangle.h"
#include "geometry/BoundingRectangleInterface.h"
#include "geometry/Geometry.h"
#include "geometry/LinearBestFitType.h"

using namespace zel;

namespace {

constexpr double DEG = M_PI / 180.0;

DLinkedList<PixelCoordinate>* pixels(const std::vector<std::pair<double, double>>& xy) {
  auto* list = new DLinkedList<PixelCoordinate>();
  for (auto [x, y] : xy) list->add(new PixelCoordinate(x, y));
  return list;
}

DLinkedList<DecimalCoordinate>* coordinates(const std::vector<std::pair<double, double>>& latLon) {
  auto* list = new DLinkedList<DecimalCoordinate>();
  for (auto [lat, lon] : latLon) list->add(new DecimalCoordinate(lat, lon));
  return list;
}

// Ten points on the long sides of a 100 x 20 rectangle, turned by 20 degrees
// counter-clockwise about the origin.
std::vector<std::pair<double, double>> turnedRectangle() {
  std::vector<std::pair<double, double>> out;
  const double k = std::cos(20 * DEG), s = std::sin(20 * DEG);
  for (double y : {0.0, 20.0}) {
    for (double x : {0.0, 25.0, 50.0, 75.0, 100.0}) out.emplace_back(x * k - y * s, x * s + y * k);
  }
  return out;
}

// Shoelace area and containment of a four-corner result, in the points' own axes.
double quadArea(const std::vector<std::pair<double, double>>& c) {
  double twice = 0;
  for (int i = 0; i < 4; ++i) {
    twice += c[i].first * c[(i + 1) % 4].second - c[(i + 1) % 4].first * c[i].second;
  }
  return std::fabs(twice) / 2;
}

bool containsAll(const std::vector<std::pair<double, double>>& c,
                 const std::vector<std::pair<double, double>>& points) {
  for (auto [x, y] : points) {
    for (int i = 0; i < 4; ++i) {
      auto [ax, ay] = c[i];
      auto [bx, by] = c[(i + 1) % 4];
      auto [ox, oy] = c[(i + 2) % 4];
      // Same side of edge ab as the opposite corner, within rounding.
      const double side = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
      const double inner = (bx - ax) * (oy - ay) - (by - ay) * (ox - ax);
      if (side * inner < -1e-6) return false;
    }
  }
  return true;
}

}  // namespace

TEST(LinearBestFitType, SlopesOfExactLines) {
  auto* line = pixels({{0, 3}, {1, 5}, {2, 7}, {5, 13}});
  double out[3];
  LinearBestFitType::polyfit2(line, out);
  EXPECT_NEAR(out[0], 3, 1e-12);
  EXPECT_NEAR(out[1], 2, 1e-12);
  EXPECT_NEAR(out[2], std::atan(2.0), 1e-12);
  EXPECT_NEAR(LinearBestFitType::getLinearBestFitTypeRadians(line), std::atan(2.0), 1e-12);
  delete line;

  // Geographic points are fitted with latitude as the abscissa.
  auto* geo = coordinates({{0, 1}, {1, 3}, {2, 5}});
  EXPECT_NEAR(LinearBestFitType::getLinearBestFitTypeRadians(geo), std::atan(2.0), 1e-12);
  delete geo;

  DLinkedList<double> xs, ys;
  for (double x : {1.0, 2.0, 3.0}) xs.add(new double(x));
  for (double y : {-1.0, -2.0, -3.0, 99.0}) ys.add(new double(y));  // extra y ignored
  EXPECT_NEAR(LinearBestFitType::getLinearBestFitTypeRadians(&xs, &ys), -M_PI / 4, 1e-12);

  // No points: the slope is 0/0.
  DLinkedList<PixelCoordinate> empty;
  EXPECT_TRUE(std::isnan(LinearBestFitType::getLinearBestFitTypeRadians(&empty)));
}

TEST(BoundingRectangle, RotationsTurnTheWayTheirFlagsSay) {
  auto* p = pixels({{1, 0}});
  auto* ccw = BoundingRectangle::rotatePixelPoints(p, 90 * DEG, true);
  EXPECT_NEAR(ccw->get(0)->x, 0, 1e-12);
  EXPECT_NEAR(ccw->get(0)->y, 1, 1e-12);
  auto* cw = BoundingRectangle::rotatePixelPoints(p, 90 * DEG, false);
  EXPECT_NEAR(cw->get(0)->y, -1, 1e-12);
  // Geographic: flag true turns clockwise in the (latitude, longitude) plane.
  auto* g = coordinates({{1, 0}});
  auto* gcw = BoundingRectangle::rotateCoordinates(g, 90 * DEG, true);
  EXPECT_NEAR(gcw->get(0)->lat, 0, 1e-12);
  EXPECT_NEAR(gcw->get(0)->lon, -1, 1e-12);
  for (auto* list : {p, ccw, cw}) delete list;
  delete g;
  delete gcw;
}

TEST(BoundingRectangle, TurnedRectangleIsFoundTight) {
  const auto points = turnedRectangle();
  auto* list = pixels(points);
  EXPECT_NEAR(BoundingRectangle::calculateArea(list), 5342.5, 0.1);
  const Quad q = BoundingRectangle::findPixelBoundingRectangle(list);
  // The pixel result has X and Y exchanged: swap back to compare.
  std::vector<std::pair<double, double>> corners;
  for (const PixelCoordinate& c : {q.ul, q.ur, q.lr, q.ll}) corners.emplace_back(c.y, c.x);
  EXPECT_NEAR(quadArea(corners), 2000, 2000 * 0.005);
  EXPECT_TRUE(containsAll(corners, points));
  delete list;

  // The same numbers as latitude and longitude; no exchange.
  auto* geo = coordinates(points);
  const GeoQuad g = BoundingRectangle::findBoundingRectangle(geo);
  std::vector<std::pair<double, double>> geoCorners;
  for (const DecimalCoordinate& c : {g.ul, g.ur, g.lr, g.ll}) geoCorners.emplace_back(c.lat, c.lon);
  EXPECT_NEAR(quadArea(geoCorners), 2000, 2000 * 0.005);
  EXPECT_TRUE(containsAll(geoCorners, points));
  delete geo;
}

TEST(BoundingRectangle, UprightBoxWhenItIsTheSmaller) {
  // Aligned points: no turn, the upright box, X and Y exchanged in the quad.
  auto* aligned = pixels({{0, 0}, {30, 0}, {30, 10}, {0, 10}, {15, 5}});
  Quad q = BoundingRectangle::findPixelBoundingRectangle(aligned);
  EXPECT_NEAR(q.ul.x, 0, 1e-12);
  EXPECT_NEAR(q.ul.y, 0, 1e-12);
  EXPECT_NEAR(q.ur.x, 10, 1e-12);  // the box's (minX, maxY), exchanged
  EXPECT_NEAR(q.ur.y, 0, 1e-12);
  EXPECT_NEAR(q.lr.x, 10, 1e-12);
  EXPECT_NEAR(q.lr.y, 30, 1e-12);
  delete aligned;

  // A square with a diagonal: the fitted line is tilted, and any tilted box
  // of a square is larger than the square by more than 1/0.85.
  std::vector<std::pair<double, double>> square = {{0, 0}, {10, 0}, {0, 10}, {10, 10}};
  for (int k = 1; k < 10; ++k) square.emplace_back(k, k);
  auto* list = pixels(square);
  q = BoundingRectangle::findPixelBoundingRectangle(list);
  const PixelCoordinate expected[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const PixelCoordinate got[4] = {q.ul, q.ur, q.lr, q.ll};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(got[i].x, expected[i].x) << i;
    EXPECT_EQ(got[i].y, expected[i].y) << i;
  }
  delete list;
}

TEST(BoundingRectangle, DegenerateInputsStayInsideTheirLists) {
  DLinkedList<PixelCoordinate> empty;
  const Quad none = BoundingRectangle::findPixelBoundingRectangle(&empty);
  EXPECT_EQ(none.ul.x, 0);
  EXPECT_EQ(BoundingRectangle::calculateArea(&empty), 0);
  auto* box = BoundingRectangle::createBoundingRectangle(&empty);
  EXPECT_EQ(box->size(), 0);
  delete box;
  EXPECT_EQ(BoundingRectangle::findBoundingRectangle(nullptr).ul.lat, 0);

  const std::vector<std::vector<std::pair<double, double>>> sets = {
      {{5, 7}}, {{5, 7}, {5, 7}}, {{1, 1}, {4, 5}}, {{2, 0}, {2, 3}, {2, 9}}};
  for (const auto& set : sets) {
    auto* list = pixels(set);
    const Quad q = BoundingRectangle::findPixelBoundingRectangle(list);
    std::vector<std::pair<double, double>> corners;
    for (const PixelCoordinate& c : {q.ul, q.ur, q.lr, q.ll}) {
      ASSERT_TRUE(std::isfinite(c.x) && std::isfinite(c.y));
      corners.emplace_back(c.y, c.x);
    }
    EXPECT_TRUE(containsAll(corners, set));
    delete list;
  }
}

TEST(BoundingRectangle, UprightBoxAcrossTheAntimeridian) {
  const GeoQuad across(20, 179, 20, -179, 10, -179, 10, 179);
  const GeoQuad box = BoundingRectangle::uprightBoundingRectangle(across);
  EXPECT_EQ(box.ul.lat, 20);
  EXPECT_EQ(box.ul.lon, 179);   // west edge
  EXPECT_EQ(box.ur.lon, -179);  // east edge
  EXPECT_EQ(box.lr.lat, 10);
  EXPECT_EQ(box.ll.lon, 179);

  const GeoQuad plain(21, 10, 20.5, 12, 10, 11.5, 10.5, 9.5);
  const GeoQuad upright = BoundingRectangle::uprightBoundingRectangle(plain);
  EXPECT_EQ(upright.ul.lat, 21);
  EXPECT_EQ(upright.ul.lon, 9.5);
  EXPECT_EQ(upright.lr.lat, 10);
  EXPECT_EQ(upright.lr.lon, 12);
}

TEST(BoundingRectangleInterface, PoolsTheCornersOfQuads) {
  BoundingRectangleInterface front;
  DLinkedList<Quad> quads;
  quads.add(new Quad(0, 0, 10, 0, 10, 5, 0, 5));
  quads.add(new Quad(20, 0, 30, 0, 30, 5, 20, 5));
  const Quad q = front.calculateBoundingRectangle(&quads);
  EXPECT_NEAR(q.lr.x, 5, 1e-12);
  EXPECT_NEAR(q.lr.y, 30, 1e-12);

  DLinkedList<GeoQuad> geoQuads;
  geoQuads.add(new GeoQuad(1, 0, 1, 2, 0, 2, 0, 0));
  geoQuads.add(new GeoQuad(1, 4, 1, 6, 0, 6, 0, 4));
  const GeoQuad g = front.calculateBoundingRectangle(&geoQuads);
  EXPECT_NEAR(g.lr.lat, 1, 1e-12);  // (maxLat, maxLon)
  EXPECT_NEAR(g.lr.lon, 6, 1e-12);
}
