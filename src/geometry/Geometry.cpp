#include "Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "GeoText.h"

namespace zel {

namespace {

using Points = std::vector<PixelCoordinate>;
using List = DLinkedList<PixelCoordinate>;

constexpr int EQUALITY_DECIMALS = 8;
constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;
constexpr double DEGREES_PER_RADIAN = 57.29577951308232;
constexpr double PI = 3.14159265358979323846;

Points pointsOf(const List* list) {
  Points out;
  if (!list) return out;
  for (auto* node = list->head; node; node = node->next) {
    if (node->element) out.push_back(*node->element);
  }
  return out;
}

Points pointsOf(const Quad& quad) { return {quad.ul, quad.ur, quad.lr, quad.ll}; }

void append(List* list, const PixelCoordinate& p) { list->add(new PixelCoordinate(p.x, p.y)); }

double cross(const PixelCoordinate& a, const PixelCoordinate& o, const PixelCoordinate& b) {
  return (b.y - o.y) * (a.x - o.x) - (a.y - o.y) * (b.x - o.x);
}

double dot(const PixelCoordinate& a, const PixelCoordinate& o, const PixelCoordinate& b) {
  return (b.x - o.x) * (a.x - o.x) + (a.y - o.y) * (b.y - o.y);
}

double angleBetween(const PixelCoordinate& a, const PixelCoordinate& o, const PixelCoordinate& b) {
  return std::atan(std::fabs(cross(a, o, b) / dot(a, o, b))) * 180.0 / PI;
}

// Inside or on the boundary of a convex polygon: the corner cross products
// keep one sign. (Either vertex order is accepted; for a polygon in the
// positive order an outside point always has a negative product, since the
// products sum to twice the polygon's area.)
bool insideConvex(const PixelCoordinate& p, const Points& polygon) {
  const std::size_t n = polygon.size();
  if (n < 3) return false;
  bool negative = false, positive = false;
  for (std::size_t j = 0; j < n; ++j) {
    const double c = cross(p, polygon[j], polygon[(j + 1) % n]);
    negative = negative || c < 0;
    positive = positive || c > 0;
  }
  return !(negative && positive);
}

double ringArea(const Points& polygon) {
  const std::size_t n = polygon.size();
  if (n < 3) return 0.0;
  double twice = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const PixelCoordinate& a = polygon[i];
    const PixelCoordinate& b = polygon[(i + 1) % n];
    twice += a.x * b.y - b.x * a.y;
  }
  return twice / 2.0;
}

bool samePoint(const PixelCoordinate& a, const PixelCoordinate& b) {
  return decimalIsEquals(a.x, b.x, EQUALITY_DECIMALS) &&
         decimalIsEquals(a.y, b.y, EQUALITY_DECIMALS);
}

// Removes `node` from `list` and disposes of its element; the cursor goes
// back to the head.
void removeNode(List* list, List::Node* node) {
  if (node->prev)
    node->prev->next = node->next;
  else
    list->head = node->next;
  if (node->next)
    node->next->prev = node->prev;
  else
    list->tail = node->prev;
  --list->count;
  list->cursor = list->head;
  list->cursorIndex = 0;
  PixelCoordinate* element = node->element;
  if (list->disposer)
    list->disposer(&element);
  else
    delete element;
  delete node;
}

// The sweep angle of v seen from d, degrees in [0, 360).
double sweepAngle(const PixelCoordinate& d, const PixelCoordinate& v) {
  const PixelCoordinate u(d.x - 1.0, d.y);
  const double a = angleBetween(u, d, v);
  if (std::isnan(a)) return 0.0;  // v coincides with d: take it next
  if (v.y > d.y && v.x <= d.x) return a;
  if (v.y > d.y && v.x > d.x) return 180.0 - a;
  if (a == 0.0 && v.x > d.x) return 180.0;
  if (v.y < d.y && v.x >= d.x) return 180.0 + a;
  if (v.y < d.y && v.x < d.x) return 360.0 - a;
  return a;
}

// getIntersections on values, appending to `out`.
void intersect(const PixelCoordinate& p1, const PixelCoordinate& p2, const PixelCoordinate& q1,
               const PixelCoordinate& q2, double tolerance, List* out) {
  if (tolerance < 0) tolerance = Geometry::DEFAULT_TOLERANCE;
  const bool pVertical = p1.x == p2.x;
  const bool qVertical = q1.x == q2.x;
  bool collinear = false;
  PixelCoordinate candidate;
  if (!pVertical) {
    const double m1 = (p2.y - p1.y) / (p2.x - p1.x);
    const double c1 = p1.y - p1.x * m1;
    if (qVertical) {
      candidate = PixelCoordinate(q1.x, m1 * q1.x + c1);
    } else {
      const double m2 = (q2.y - q1.y) / (q2.x - q1.x);
      const double c2 = q1.y - q1.x * m2;
      if (m1 == m2) {
        if (c1 != c2) return;
        collinear = true;
      } else {
        const double x = (c2 - c1) / (m1 - m2);
        candidate = PixelCoordinate(x, m1 * x + c1);
      }
    }
  } else if (qVertical) {
    if (p1.x != q1.x) return;
    collinear = true;
  } else {
    const double m2 = (q2.y - q1.y) / (q2.x - q1.x);
    const double c2 = q1.y - q1.x * m2;
    candidate = PixelCoordinate(p1.x, m2 * p1.x + c2);
  }

  if (collinear) {
    auto within = [](const PixelCoordinate& v, const PixelCoordinate& a, const PixelCoordinate& b) {
      return v.x >= std::min(a.x, b.x) && v.x <= std::max(a.x, b.x) && v.y >= std::min(a.y, b.y) &&
             v.y <= std::max(a.y, b.y);
    };
    int found = 0;
    for (const PixelCoordinate* v : {&p1, &p2}) {
      if (found < 2 && within(*v, q1, q2)) append(out, *v), ++found;
    }
    for (const PixelCoordinate* v : {&q1, &q2}) {
      if (found < 2 && within(*v, p1, p2)) append(out, *v), ++found;
    }
    return;
  }

  auto z = [tolerance](double v) { return std::fabs(v) < tolerance ? 0.0 : v; };
  const PixelCoordinate& c = candidate;
  if (z(c.x - p2.x) * z(p1.x - c.x) < 0 || z(c.x - q2.x) * z(q1.x - c.x) < 0 ||
      z(c.y - p2.y) * z(p1.y - c.y) < 0 || z(c.y - q2.y) * z(q1.y - c.y) < 0) {
    return;
  }
  // A NaN candidate (degenerate segments) passes the comparisons above.
  if (std::isnan(c.x) || std::isnan(c.y)) return;
  append(out, c);
}

List* trimmed(const Points& points) {
  List* out = new List();
  if (points.size() < 2) return out;
  Points kept;
  for (const PixelCoordinate& p : points) {
    if (std::none_of(kept.begin(), kept.end(),
                     [&p](const PixelCoordinate& k) { return samePoint(k, p); })) {
      kept.push_back(p);
      append(out, p);
    }
  }
  return out;
}

List* allIntersections(const Points& p, const Points& q, double tolerance) {
  if (p.empty() || q.empty()) return new List();
  List collected;
  for (const PixelCoordinate& v : p) {
    if (insideConvex(v, q)) append(&collected, v);
  }
  for (const PixelCoordinate& v : q) {
    if (insideConvex(v, p)) append(&collected, v);
  }
  for (std::size_t i = 0; i < p.size(); ++i) {
    const PixelCoordinate& p1 = p[i];
    const PixelCoordinate& p2 = p[(i + p.size() - 1) % p.size()];
    for (std::size_t j = 0; j < q.size(); ++j) {
      intersect(p1, p2, q[j], q[(j + 1) % q.size()], tolerance, &collected);
    }
  }
  List* distinct = trimmed(pointsOf(&collected));
  List* ordered = Geometry::orderCoordinates(distinct);
  delete distinct;
  return ordered;
}

double coverage(const Points& p, const Points& q, double tolerance) {
  if (p.size() < 3 || q.size() < 3) return 0.0;
  const double areaP = std::fabs(ringArea(p));
  const double areaQ = std::fabs(ringArea(q));
  if (!(areaP > 0) || !(areaQ > 0)) return 0.0;
  List* common = allIntersections(p, q, tolerance);
  const double shared = std::fabs(ringArea(pointsOf(common)));
  delete common;
  return std::min(1.0, shared / areaP);
}

int pointInPolygon(double x, double y, const std::vector<double>& xs,
                   const std::vector<double>& ys) {
  return Geometry::pointInPoly(x, y, const_cast<double*>(xs.data()), const_cast<double*>(ys.data()),
                               static_cast<int>(xs.size()));
}

}  // namespace

double Geometry::getPolygonArea(DLinkedList<PixelCoordinate>* polygon, bool signedArea) {
  const double area = ringArea(pointsOf(polygon));
  return signedArea ? area : std::fabs(area);
}

double Geometry::crossProduct(PixelCoordinate* a, PixelCoordinate* o, PixelCoordinate* b) {
  return a && o && b ? cross(*a, *o, *b) : 0.0;
}

double Geometry::dotProduct(PixelCoordinate* a, PixelCoordinate* o, PixelCoordinate* b) {
  return a && o && b ? dot(*a, *o, *b) : 0.0;
}

double Geometry::calculateAngle(PixelCoordinate* a, PixelCoordinate* o, PixelCoordinate* b) {
  return a && o && b ? angleBetween(*a, *o, *b) : 0.0;
}

double* Geometry::cornerCrossProduct(PixelCoordinate* p, DLinkedList<PixelCoordinate>* polygon) {
  const Points vertices = pointsOf(polygon);
  const std::size_t slots = std::max<std::size_t>(1, polygon ? std::max(polygon->count, 0) : 0);
  double* out = new double[std::max(slots, vertices.size())]();
  if (!p) return out;
  for (std::size_t j = 0; j < vertices.size(); ++j) {
    out[j] = cross(*p, vertices[j], vertices[(j + 1) % vertices.size()]);
  }
  return out;
}

DLinkedList<PixelCoordinate>* Geometry::getIntersections(PixelCoordinate* p1, PixelCoordinate* p2,
                                                         PixelCoordinate* q1, PixelCoordinate* q2,
                                                         double tolerance) {
  List* out = new List();
  if (p1 && p2 && q1 && q2) intersect(*p1, *p2, *q1, *q2, tolerance, out);
  return out;
}

DLinkedList<PixelCoordinate>* Geometry::trimCoordinates(DLinkedList<PixelCoordinate>* list) {
  return trimmed(pointsOf(list));
}

DLinkedList<PixelCoordinate>* Geometry::orderCoordinates(DLinkedList<PixelCoordinate>* list) {
  List* out = new List();
  if (!list || list->count < 2) return out;
  // Nodes without a point are dropped first.
  for (auto* node = list->head; node;) {
    auto* next = node->next;
    if (!node->element) removeNode(list, node);
    node = next;
  }
  if (!list->head) return out;

  List::Node* start = list->head;
  for (auto* node = list->head->next; node; node = node->next) {
    const PixelCoordinate& v = *node->element;
    const PixelCoordinate& s = *start->element;
    if (v.y < s.y || (v.y == s.y && v.x > s.x)) start = node;
  }
  PixelCoordinate current = *start->element;
  append(out, current);
  removeNode(list, start);

  while (list->head) {
    List::Node* best = list->head;
    double bestAngle = sweepAngle(current, *best->element);
    for (auto* node = list->head->next; node; node = node->next) {
      const double angle = sweepAngle(current, *node->element);
      if (angle < bestAngle) {
        best = node;
        bestAngle = angle;
      }
    }
    current = *best->element;
    append(out, current);
    removeNode(list, best);
  }
  return out;
}

DLinkedList<PixelCoordinate>* Geometry::getAllIntersections(DLinkedList<PixelCoordinate>* p,
                                                            DLinkedList<PixelCoordinate>* q,
                                                            double tolerance) {
  return allIntersections(pointsOf(p), pointsOf(q), tolerance);
}

DLinkedList<PixelCoordinate>* Geometry::getAllIntersections(Quad p, Quad q, double tolerance) {
  return allIntersections(pointsOf(p), pointsOf(q), tolerance);
}

double Geometry::getPercentCoverage(DLinkedList<PixelCoordinate>* p,
                                    DLinkedList<PixelCoordinate>* q, double tolerance) {
  return coverage(pointsOf(p), pointsOf(q), tolerance);
}

double Geometry::getPercentCoverage(Quad p, Quad q, double tolerance) {
  return coverage(pointsOf(p), pointsOf(q), tolerance);
}

DLinkedList<PixelCoordinate>* Geometry::getAllPolyLineIntersections(
    DLinkedList<PixelCoordinate>* polygon, DLinkedList<PixelCoordinate>* polyline,
    double tolerance) {
  const Points area = pointsOf(polygon);
  const Points line = pointsOf(polyline);
  if (area.empty() || line.empty()) return new List();
  List collected;
  for (std::size_t j = 0; j < line.size(); ++j) {
    if (insideConvex(line[j], area)) append(&collected, line[j]);
    if (j + 1 == line.size()) break;
    for (std::size_t i = 0; i < area.size(); ++i) {
      intersect(line[j], line[j + 1], area[i], area[(i + area.size() - 1) % area.size()], tolerance,
                &collected);
    }
  }
  return trimmed(pointsOf(&collected));
}

int Geometry::pointInPoly(double x, double y, double* xs, double* ys, int n) {
  if (n <= 0 || !xs || !ys) return 0;
  int crossings = 0;
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    if (((y >= ys[i] && y < ys[j]) || (y < ys[i] && y >= ys[j])) &&
        x < xs[i] + (y - ys[i]) / (ys[j] - ys[i]) * (xs[j] - xs[i])) {
      ++crossings;
    }
  }
  return crossings % 2;
}

int Geometry::isPointInsidePolygon(PixelCoordinate* p, DLinkedList<PixelCoordinate>* polygon) {
  if (!p) return 0;
  std::vector<double> xs, ys;
  for (const PixelCoordinate& v : pointsOf(polygon)) {
    xs.push_back(v.x);
    ys.push_back(v.y);
  }
  return pointInPolygon(p->x, p->y, xs, ys);
}

int Geometry::isPointInsidePolygon(DecimalCoordinate p, std::vector<DecimalCoordinate> polygon) {
  std::vector<double> xs, ys;
  for (const DecimalCoordinate& v : polygon) {
    xs.push_back(v.lon);
    ys.push_back(v.lat);
  }
  return pointInPolygon(p.lon, p.lat, xs, ys);
}

bool Geometry::isPointInside(PixelCoordinate* p, GeoQuad* quad) {
  if (!p || !quad) return false;
  Points corners;
  for (const DecimalCoordinate& c : {quad->ul, quad->ur, quad->lr, quad->ll}) {
    corners.emplace_back(c.lon, c.lat, c.elev);
  }
  double minLon = std::numeric_limits<double>::max();
  double maxLon = -std::numeric_limits<double>::max();
  for (const PixelCoordinate& c : corners) {
    minLon = std::min(minLon, c.x);
    maxLon = std::max(maxLon, c.x);
  }
  PixelCoordinate point(p->x, p->y);
  if (maxLon - minLon > 180.0) {
    for (PixelCoordinate& c : corners) {
      if (c.x < 0) c.x += 360.0;
    }
    if (point.x < 0) point.x += 360.0;
  }
  return insideConvex(point, corners);
}

double Geometry::orientedArea(DecimalCoordinate& a, DecimalCoordinate& b, DecimalCoordinate& c) {
  return ((c.lat - a.lat) * (b.lon - a.lon) - (b.lat - a.lat) * (c.lon - a.lon)) / 2.0;
}

bool Geometry::doLineSegmentsIntersect(DecimalCoordinate& p1, DecimalCoordinate& p2,
                                       DecimalCoordinate& q1, DecimalCoordinate& q2) {
  return orientedArea(q1, p1, p2) * orientedArea(q2, p1, p2) <= 0 &&
         orientedArea(p2, q1, q2) * orientedArea(p1, q1, q2) <= 0;
}

void Geometry::getMBR(const std::vector<DecimalCoordinate>& polygon,
                      std::vector<DecimalCoordinate>& out) {
  if (polygon.empty()) return;
  double minLat = polygon[0].lat, maxLat = minLat, minLon = polygon[0].lon, maxLon = minLon;
  for (const DecimalCoordinate& c : polygon) {
    minLat = std::min(minLat, c.lat);
    maxLat = std::max(maxLat, c.lat);
    minLon = std::min(minLon, c.lon);
    maxLon = std::max(maxLon, c.lon);
  }
  out.emplace_back(maxLat, minLon);
  out.emplace_back(maxLat, maxLon);
  out.emplace_back(minLat, maxLon);
  out.emplace_back(minLat, minLon);
}

bool Geometry::doesOverlap(const std::vector<DecimalCoordinate>& box1,
                           const std::vector<DecimalCoordinate>& box2) {
  const DecimalCoordinate& northEast1 = box1.at(1);
  const DecimalCoordinate& southWest1 = box1.at(3);
  const DecimalCoordinate& northEast2 = box2.at(1);
  const DecimalCoordinate& southWest2 = box2.at(3);
  return std::max(southWest1.lon, southWest2.lon) <= std::min(northEast1.lon, northEast2.lon) &&
         std::max(southWest1.lat, southWest2.lat) <= std::min(northEast1.lat, northEast2.lat);
}

bool Geometry::polygonsIntersecting(std::vector<DecimalCoordinate>& p,
                                    std::vector<DecimalCoordinate>& q) {
  if (p.empty() || q.empty()) return false;
  std::vector<DecimalCoordinate> boxP, boxQ;
  getMBR(p, boxP);
  getMBR(q, boxQ);
  if (!doesOverlap(boxP, boxQ)) return false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    for (std::size_t j = 0; j < q.size(); ++j) {
      if (doLineSegmentsIntersect(p[i], p[(i + 1) % p.size()], q[j], q[(j + 1) % q.size()])) {
        return true;
      }
    }
  }
  return isPointInsidePolygon(p[0], q) == 1 || isPointInsidePolygon(q[0], p) == 1;
}

double Geometry::getBearing(DecimalCoordinate from, DecimalCoordinate to) {
  const double phi1 = from.lat * RADIANS_PER_DEGREE;
  const double phi2 = to.lat * RADIANS_PER_DEGREE;
  const double deltaLambda = (to.lon - from.lon) * RADIANS_PER_DEGREE;
  return std::atan2(std::sin(deltaLambda) * std::cos(phi2),
                    std::cos(phi1) * std::sin(phi2) -
                        std::sin(phi1) * std::cos(phi2) * std::cos(deltaLambda)) *
         DEGREES_PER_RADIAN;
}

}  // namespace zel
