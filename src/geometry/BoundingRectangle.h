#pragma once
#include "DLinkedList.h"
#include "DecimalCoordinate.h"
#include "GeoQuad.h"
#include "PixelCoordinate.h"
#include "Quad.h"

namespace zel {

// Tight rectangles around small point sets. The points are levelled by
// turning them against the angle of their least-squares line (repeatedly,
// until the fitted angle is below radianThreshold or after 21 turns), boxed
// in the levelled frame, and the box is turned back; the plain axis-aligned
// box is kept instead when its area is below 0.85 of the levelled box's.
//
// Image points are fitted as Y on X; geographic points as longitude on
// latitude (latitude is the abscissa), all in degrees. Lists are read in
// order and left unchanged; returned lists are new and owned by the caller.
// Null or empty lists give empty lists, zero areas and all-zero quads.
class BoundingRectangle {
 public:
  static constexpr double radianThreshold = 0.0087;  // radians, about half a degree
  static constexpr int MAX_LEVELLING_TURNS = 21;
  static constexpr double AREA_RATIO_LIMIT = 0.85;

  // The axis-aligned box: (minX, minY), (minX, maxY), (maxX, maxY), (maxX, minY).
  static DLinkedList<PixelCoordinate>* createBoundingRectangle(
      DLinkedList<PixelCoordinate>* points);
  // The latitude/longitude box: (minLat, minLon), (minLat, maxLon),
  // (maxLat, maxLon), (maxLat, minLon).
  static DLinkedList<DecimalCoordinate>* createBoundingRectangle(
      DLinkedList<DecimalCoordinate>* points);
  // Area of the axis-aligned box: (maxX - minX)(maxY - minY), pixels squared.
  static double calculateArea(DLinkedList<PixelCoordinate>* points);
  // Area of the latitude/longitude box, degrees squared.
  static double calculateArea(DLinkedList<DecimalCoordinate>* points);

  // Each point turned about the origin by `angle` radians, counter-clockwise
  // in the (X, Y) plane when `flag` is true, clockwise when false.
  static DLinkedList<PixelCoordinate>* rotatePixelPoints(DLinkedList<PixelCoordinate>* points,
                                                         double angle, bool flag);
  // Each point turned about the origin by `angle` radians in the
  // (latitude, longitude) plane: clockwise when `flag` is true.
  static DLinkedList<DecimalCoordinate>* rotateCoordinates(DLinkedList<DecimalCoordinate>* points,
                                                           double angle, bool flag);

  // The tight rectangle of image points. Its corners, in the box order of
  // createBoundingRectangle, become UL, UR, LR, LL with X and Y exchanged
  // (the quad's x is the points' Y, its y the points' X).
  static Quad findPixelBoundingRectangle(DLinkedList<PixelCoordinate>* points);
  // The tight rectangle of geographic points, corners in the box order of
  // createBoundingRectangle as UL, UR, LR, LL.
  static GeoQuad findBoundingRectangle(DLinkedList<DecimalCoordinate>* points);
  // The latitude/longitude box of a quad: UL (maxLat, west), UR (maxLat,
  // east), LR (minLat, east), LL (minLat, west). A quad with longitudes
  // beyond 174 E and beyond 174 W is taken to cross the antimeridian: its
  // west edge is then the largest longitude and its east edge the smallest.
  static GeoQuad uprightBoundingRectangle(GeoQuad quad);
};

}  // namespace zel
