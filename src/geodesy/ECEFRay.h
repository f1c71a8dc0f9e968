#pragma once
// A straight line in earth-centred earth-fixed space.

#include "Newmat.h"

namespace zel {

// A line through `point` along `direction`, both RowVectors of 3 (X, Y, Z) in
// the caller's length unit (metres in this library; groundIntersection assumes
// metres). The direction need not be of unit length. Vectors of the wrong size
// raise the matrix library's index exception.
class ECEFRay {
 public:
  RowVector point;
  RowVector direction;

  // Both vectors (0, 0, 0).
  ECEFRay();
  // Point (px, py, pz), direction (dx, dy, dz).
  ECEFRay(double px, double py, double pz, double dx, double dy, double dz);
  // Copies of the two vectors.
  ECEFRay(const RowVector& point, const RowVector& direction);

  // Copies the three elements of each vector into the ray.
  void set(const RowVector& point, const RowVector& direction);
  // Assigns the ray's vectors to the arguments.
  void get(RowVector& point, RowVector& direction) const;

  // Replaces the ray by the line where the planes a1 x + b1 y + c1 z = d1 and
  // a2 x + b2 y + c2 z = d2 meet: direction the unit vector of n1 x n2, point
  // on the coordinate plane across the largest component of that cross product.
  // Parallel planes give non-numbers.
  void computeIntersectionOfPlanes(double a1, double b1, double c1, double d1, double a2, double b2,
                                   double c2, double d2);

  // Where the line meets the WGS 84 ellipsoid raised by `height` metres (both
  // semi-axes enlarged by it), written into `result`: of the two crossings the
  // one nearer the ray's point (the first on a tie). A line that misses leaves
  // `result` unchanged and writes "Square root of negative;
  // ECEF::groundIntersection" to the standard error stream.
  void groundIntersection(double height, RowVector& result);

  // Closest approach of this line and `other` (closed form): `midpoint` halfway
  // between the two closest points, `separation` from the other line's closest
  // point to this line's. Parallel lines give non-numbers.
  void calcPointOfClosestApproach(const ECEFRay& other, RowVector& midpoint,
                                  RowVector& separation) const;

  // Closest approach by cross products. `separation` points from this line's
  // closest point to the other's (the opposite sign of calcPointOfClosestApproach).
  // Degenerate input is reported on the standard output ("lines are parllel",
  // zero denominators) and the computation goes on, giving non-numbers.
  void computePointOfClosestApproach(const ECEFRay& other, RowVector& midpoint,
                                     RowVector& separation) const;

  // a x b.
  static RowVector cross(const RowVector& a, const RowVector& b);
};

}  // namespace zel
