#pragma once
#include <vector>

#include "DLinkedList.h"
#include "DecimalCoordinate.h"
#include "GeoQuad.h"
#include "PixelCoordinate.h"
#include "Quad.h"

namespace zel {

// Planar polygon operations. Image-space functions take PixelCoordinate
// points in lists, X the abscissa and Y the ordinate; geographic functions
// take DecimalCoordinate points (degrees), longitude the abscissa and
// latitude the ordinate. Returned lists and arrays are new and owned by the
// caller; returned points carry X and Y only. Input lists are read in order
// and left unchanged, except by orderCoordinates. Null lists, null points
// and null list elements are treated as absent.
//
// The inside test used by getAllIntersections, getAllPolyLineIntersections
// and isPointInside is for convex polygons: a point is inside or on the
// boundary when the cross products of cornerCrossProduct do not change
// sign. Polygons with fewer than three vertices have no inside.
class Geometry {
 public:
  static constexpr double DEFAULT_TOLERANCE = 1e-7;  // for a negative tolerance argument

  // Shoelace area of the closed ring: positive when the vertices run
  // counter-clockwise with Y up. Its absolute value unless `signedArea`;
  // 0 for fewer than three points.
  static double getPolygonArea(DLinkedList<PixelCoordinate>* polygon, bool signedArea);
  // (b - o) x (a - o) as (b.Y - o.Y)(a.X - o.X) - (a.Y - o.Y)(b.X - o.X).
  static double crossProduct(PixelCoordinate* a, PixelCoordinate* o, PixelCoordinate* b);
  // (a - o) . (b - o).
  static double dotProduct(PixelCoordinate* a, PixelCoordinate* o, PixelCoordinate* b);
  // The angle between o->a and o->b folded into [0, 90] degrees.
  static double calculateAngle(PixelCoordinate* a, PixelCoordinate* o, PixelCoordinate* b);
  // crossProduct(p, V[j], V[j+1]) for each vertex j (the last with the first),
  // in a new array of one element per list node (release with delete[]).
  static double* cornerCrossProduct(PixelCoordinate* p, DLinkedList<PixelCoordinate>* polygon);

  // The points where segment p1p2 meets segment q1q2: none, one, or for
  // overlapping collinear segments the two ends of the overlap. An
  // intersection within `tolerance` of a segment's extent counts as on it.
  static DLinkedList<PixelCoordinate>* getIntersections(PixelCoordinate* p1, PixelCoordinate* p2,
                                                        PixelCoordinate* q1, PixelCoordinate* q2,
                                                        double tolerance);
  // The distinct points (equal to 8 decimals in X and Y), first occurrence
  // kept; empty for fewer than two points.
  static DLinkedList<PixelCoordinate>* trimCoordinates(DLinkedList<PixelCoordinate>* list);
  // The points in sweep order from the lowest point (largest X among the
  // lowest), each next point the one with the smallest sweep angle from the
  // current one. Consumes the input: its nodes are removed and its points
  // freed, leaving it empty (a list of fewer than two points is untouched
  // and gives an empty result).
  static DLinkedList<PixelCoordinate>* orderCoordinates(DLinkedList<PixelCoordinate>* list);

  // The polygon common to two convex polygons, vertices in sweep order.
  static DLinkedList<PixelCoordinate>* getAllIntersections(DLinkedList<PixelCoordinate>* p,
                                                           DLinkedList<PixelCoordinate>* q,
                                                           double tolerance);
  static DLinkedList<PixelCoordinate>* getAllIntersections(Quad p, Quad q, double tolerance);
  // The fraction in [0, 1] of polygon p's area covered by polygon q.
  static double getPercentCoverage(DLinkedList<PixelCoordinate>* p, DLinkedList<PixelCoordinate>* q,
                                   double tolerance);
  static double getPercentCoverage(Quad p, Quad q, double tolerance);
  // The polyline's vertices inside the polygon and its crossings with the
  // polygon's edges, distinct.
  static DLinkedList<PixelCoordinate>* getAllPolyLineIntersections(
      DLinkedList<PixelCoordinate>* polygon, DLinkedList<PixelCoordinate>* polyline,
      double tolerance);

  // Even-odd crossing test of (x, y) against the n vertices (xs[i], ys[i]):
  // 1 inside, 0 outside. Half-open: a point on a bottom edge is inside, on
  // a top edge outside.
  static int pointInPoly(double x, double y, double* xs, double* ys, int n);
  static int isPointInsidePolygon(PixelCoordinate* p, DLinkedList<PixelCoordinate>* polygon);
  static int isPointInsidePolygon(DecimalCoordinate p, std::vector<DecimalCoordinate> polygon);
  // Whether p (X longitude, Y latitude, degrees) lies in the quad, which
  // may straddle the antimeridian (corner longitudes spanning over 180).
  static bool isPointInside(PixelCoordinate* p, GeoQuad* quad);

  // Half the cross product of (b - a) and (c - a) in the (lon, lat) plane,
  // with the sign ((c.lat - a.lat)(b.lon - a.lon) - (b.lat - a.lat)(c.lon - a.lon)) / 2.
  static double orientedArea(DecimalCoordinate& a, DecimalCoordinate& b, DecimalCoordinate& c);
  // Whether segments p1p2 and q1q2 meet; touching and collinear segments count.
  static bool doLineSegmentsIntersect(DecimalCoordinate& p1, DecimalCoordinate& p2,
                                      DecimalCoordinate& q1, DecimalCoordinate& q2);
  // Appends the latitude/longitude box of the polygon to `out`: (maxLat,
  // minLon), (maxLat, maxLon), (minLat, maxLon), (minLat, minLon); nothing
  // for an empty polygon.
  static void getMBR(const std::vector<DecimalCoordinate>& polygon,
                     std::vector<DecimalCoordinate>& out);
  // Whether two getMBR boxes overlap (edges touching count). Throws
  // std::out_of_range when a box has fewer than four corners.
  static bool doesOverlap(const std::vector<DecimalCoordinate>& box1,
                          const std::vector<DecimalCoordinate>& box2);
  // Whether two geographic polygons meet: their boxes overlap and an edge of
  // one meets an edge of the other, or one holds the other's first vertex.
  static bool polygonsIntersecting(std::vector<DecimalCoordinate>& p,
                                   std::vector<DecimalCoordinate>& q);
  // Initial great-circle bearing from `from` to `to`, degrees in (-180, 180],
  // clockwise from north.
  static double getBearing(DecimalCoordinate from, DecimalCoordinate to);
};

}  // namespace zel
