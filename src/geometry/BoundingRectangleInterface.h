#pragma once
#include "BoundingRectangle.h"

namespace zel {

// A front to BoundingRectangle that also takes lists of quads (their corners
// UL, UR, LR, LL are pooled). Lists are read, not consumed.
class BoundingRectangleInterface {
 public:
  BoundingRectangleInterface() {}
  ~BoundingRectangleInterface() {}

  Quad calculateBoundingRectangle(DLinkedList<PixelCoordinate>* points);
  Quad calculateBoundingRectangle(DLinkedList<Quad>* quads);
  GeoQuad calculateBoundingRectangle(DLinkedList<DecimalCoordinate>* points);
  GeoQuad calculateBoundingRectangle(DLinkedList<GeoQuad>* quads);
};

}  // namespace zel
