#include "BoundingRectangle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "LinearBestFitType.h"

namespace zel {

namespace {

// A point in the plane of the fit: a is the abscissa (image X, latitude),
// b the ordinate (image Y, longitude).
struct PlanePoint {
  double a, b;
};
using Points = std::vector<PlanePoint>;
using Box = std::array<PlanePoint, 4>;

Points planePoints(DLinkedList<PixelCoordinate>* points) {
  Points out;
  if (!points) return out;
  for (auto* node = points->head; node; node = node->next) {
    if (node->element) out.push_back({node->element->x, node->element->y});
  }
  return out;
}

Points planePoints(DLinkedList<DecimalCoordinate>* points) {
  Points out;
  if (!points) return out;
  for (auto* node = points->head; node; node = node->next) {
    if (node->element) out.push_back({node->element->lat, node->element->lon});
  }
  return out;
}

// The axis-aligned box (minA, minB), (minA, maxB), (maxA, maxB), (maxA, minB);
// `points` is not empty.
template <typename Container>
Box boxOf(const Container& points) {
  double minA = points[0].a, maxA = minA, minB = points[0].b, maxB = minB;
  for (const PlanePoint& p : points) {
    minA = std::min(minA, p.a);
    maxA = std::max(maxA, p.a);
    minB = std::min(minB, p.b);
    maxB = std::max(maxB, p.b);
  }
  return {{{minA, minB}, {minA, maxB}, {maxA, maxB}, {maxA, minB}}};
}

template <typename Container>
double areaOf(const Container& points) {
  if (points.empty()) return 0.0;
  const Box box = boxOf(points);
  return (box[2].a - box[0].a) * (box[2].b - box[0].b);
}

// Turned about the origin by `angle` radians, counter-clockwise in the (a, b) plane.
PlanePoint turned(const PlanePoint& p, double angle, bool counterClockwise) {
  const double s = counterClockwise ? std::sin(angle) : -std::sin(angle);
  const double k = std::cos(angle);
  return {p.a * k - p.b * s, p.a * s + p.b * k};
}

template <typename Container>
Container turnedAll(Container points, double angle, bool counterClockwise) {
  for (PlanePoint& p : points) p = turned(p, angle, counterClockwise);
  return points;
}

// Slope angle of b on a; 0 when undefined (no spread at all), so that such
// sets are not turned.
double fittedAngle(const Points& points) {
  double n = 0, sa = 0, sb = 0, sab = 0, saa = 0;
  for (const PlanePoint& p : points) {
    n += 1;
    sa += p.a;
    sb += p.b;
    sab += p.a * p.b;
    saa += p.a * p.a;
  }
  const double angle = std::atan((n * sab - sa * sb) / (n * saa - sa * sa));
  return std::isnan(angle) ? 0.0 : angle;
}

// The tight rectangle of a non-empty point set (see the class comment).
Box tightRectangle(const Points& points) {
  const Box upright = boxOf(points);
  const double uprightArea = areaOf(points);

  const double angle = fittedAngle(points);
  double total = angle;
  double last = angle;
  if (std::fabs(angle) > BoundingRectangle::radianThreshold) {
    Points working = points;
    for (int turn = 0; turn < BoundingRectangle::MAX_LEVELLING_TURNS; ++turn) {
      working = turnedAll(working, last, false);
      const double residual = fittedAngle(working);
      last = residual;
      total += residual;
      if (std::fabs(residual) <= BoundingRectangle::radianThreshold) break;
    }
  }

  const Box levelled = boxOf(turnedAll(points, total, false));
  const double levelledArea = areaOf(levelled);
  if (uprightArea / levelledArea < BoundingRectangle::AREA_RATIO_LIMIT) return upright;
  return turnedAll(levelled, total, true);
}

template <typename Container>
DLinkedList<PixelCoordinate>* pixelList(const Container& points) {
  auto* out = new DLinkedList<PixelCoordinate>();
  for (const PlanePoint& p : points) out->add(new PixelCoordinate(p.a, p.b));
  return out;
}

template <typename Container>
DLinkedList<DecimalCoordinate>* coordinateList(const Container& points) {
  auto* out = new DLinkedList<DecimalCoordinate>();
  for (const PlanePoint& p : points) out->add(new DecimalCoordinate(p.a, p.b));
  return out;
}

}  // namespace

DLinkedList<PixelCoordinate>* BoundingRectangle::createBoundingRectangle(
    DLinkedList<PixelCoordinate>* points) {
  const Points plane = planePoints(points);
  return plane.empty() ? new DLinkedList<PixelCoordinate>() : pixelList(boxOf(plane));
}

DLinkedList<DecimalCoordinate>* BoundingRectangle::createBoundingRectangle(
    DLinkedList<DecimalCoordinate>* points) {
  const Points plane = planePoints(points);
  return plane.empty() ? new DLinkedList<DecimalCoordinate>() : coordinateList(boxOf(plane));
}

double BoundingRectangle::calculateArea(DLinkedList<PixelCoordinate>* points) {
  return areaOf(planePoints(points));
}

double BoundingRectangle::calculateArea(DLinkedList<DecimalCoordinate>* points) {
  return areaOf(planePoints(points));
}

DLinkedList<PixelCoordinate>* BoundingRectangle::rotatePixelPoints(
    DLinkedList<PixelCoordinate>* points, double angle, bool flag) {
  return pixelList(turnedAll(planePoints(points), angle, flag));
}

DLinkedList<DecimalCoordinate>* BoundingRectangle::rotateCoordinates(
    DLinkedList<DecimalCoordinate>* points, double angle, bool flag) {
  // Clockwise in the (latitude, longitude) plane when flag is true.
  return coordinateList(turnedAll(planePoints(points), angle, !flag));
}

Quad BoundingRectangle::findPixelBoundingRectangle(DLinkedList<PixelCoordinate>* points) {
  const Points plane = planePoints(points);
  if (plane.empty()) return Quad();
  const Box r = tightRectangle(plane);
  auto exchanged = [](const PlanePoint& p) { return PixelCoordinate(p.b, p.a); };
  return Quad(exchanged(r[0]), exchanged(r[1]), exchanged(r[2]), exchanged(r[3]));
}

GeoQuad BoundingRectangle::findBoundingRectangle(DLinkedList<DecimalCoordinate>* points) {
  const Points plane = planePoints(points);
  if (plane.empty()) return GeoQuad();
  const Box r = tightRectangle(plane);
  auto corner = [](const PlanePoint& p) { return DecimalCoordinate(p.a, p.b); };
  return GeoQuad(corner(r[0]), corner(r[1]), corner(r[2]), corner(r[3]));
}

GeoQuad BoundingRectangle::uprightBoundingRectangle(GeoQuad quad) {
  double minLat = quad.ul.lat, maxLat = minLat, minLon = quad.ul.lon, maxLon = minLon;
  for (const DecimalCoordinate& c : {quad.ur, quad.lr, quad.ll}) {
    minLat = std::min(minLat, c.lat);
    maxLat = std::max(maxLat, c.lat);
    minLon = std::min(minLon, c.lon);
    maxLon = std::max(maxLon, c.lon);
  }
  if (maxLon > 174.0 && minLon < -174.0) std::swap(minLon, maxLon);
  return GeoQuad(DecimalCoordinate(maxLat, minLon), DecimalCoordinate(maxLat, maxLon),
                 DecimalCoordinate(minLat, maxLon), DecimalCoordinate(minLat, minLon));
}

}  // namespace zel
