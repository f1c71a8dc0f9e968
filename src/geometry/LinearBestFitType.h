#pragma once
#include "DLinkedList.h"
#include "DecimalCoordinate.h"
#include "PixelCoordinate.h"

namespace zel {

// Least-squares straight lines through planar point sets. Angles are in
// radians, atan of the fitted slope, so in [-pi/2, pi/2]; NaN when the
// slope is 0/0 (no points, or all points at one abscissa, where rounding may
// also give +-pi/2).
class LinearBestFitType {
 public:
  // Slope angle of y on x over the pairs (xs[i], ys[i]), i over the shorter
  // list. Null lists count as empty.
  static double getLinearBestFitTypeRadians(DLinkedList<double>* xs, DLinkedList<double>* ys);
  // Slope angle of Y on X (image points: x = sample, y = line).
  static double getLinearBestFitTypeRadians(DLinkedList<PixelCoordinate>* points);
  // Slope angle of longitude on latitude (latitude is the abscissa).
  static double getLinearBestFitTypeRadians(DLinkedList<DecimalCoordinate>* points);
  // The line Y = a + b X through the points: out[0] = a, out[1] = b,
  // out[2] = atan(b). `out` holds three doubles.
  static void polyfit2(DLinkedList<PixelCoordinate>* points, double* out);
};

}  // namespace zel
